#include "reader/train/lettore_treno.h"
#include "reader/train/righe_treno.h"

namespace cmp {
namespace {

// Up to this position a slow order has no warning point (it would fall before the track).
constexpr std::int32_t kSenzaAvviso = 1500;
constexpr std::int32_t kDistanzaAvviso = 1200;

tratto& cella(Stato& s, std::int64_t n) { return s.percorso[static_cast<std::size_t>(n)]; }

// The cell's kind and, when there is one, the second value.
void marca(tratto& t, std::uint8_t tipo, const riga_rallentamento& r) {
  t.tipo = tipo;
  if (r.d_v != 0) t.parametro2 = bassi_16(r.d_v);
}

}  // namespace

void memo_rallentamento(Stato& s, const riga_rallentamento& r) {
  if (r.x < 0 || r.l < 0) {
    s.codice_errore = errori::posizione_negativa;
    return;
  }
  const std::int64_t e = cella_di(entro_32(std::int64_t{r.x} + r.l, "the end of the slow order"), 1);
  if (e > s.ultima_cella()) {
    s.codice_errore = errori::fine_rallentamento_oltre;
    return;
  }
  const std::int64_t inizio = cella_di(r.x, 1);
  const bool con_avviso = r.x > kSenzaAvviso;
  const bool con_approccio = con_avviso && r.f_ta != 0;
  const std::int64_t w = cella_di(std::int64_t{r.x} - kDistanzaAvviso, 1);
  const std::int64_t q = cella_di(std::int64_t{r.x} - kDistanzaAvviso, 0);

  // The cells as they were before this row; nothing is written until all three pass.
  if (con_avviso && !cella_libera(cella(s, w))) {
    s.codice_errore = errori::avviso_occupato;
    return;
  }
  if (!cella_libera(cella(s, inizio))) {
    s.codice_errore = errori::inizio_occupato;
    return;
  }
  if (!cella_libera(cella(s, e))) {
    s.codice_errore = errori::fine_occupata;
    return;
  }

  // The end first, so that a slow order shorter than half a cell keeps its start.
  marca(cella(s, e), tipo_cella::fine_rallentamento, r);
  marca(cella(s, inizio), tipo_cella::inizio_rallentamento, r);
  if (con_avviso) {
    marca(cella(s, w), tipo_cella::avviso_rallentamento, r);
    cella(s, w).parametro1 = bassi_16(r.v);
  }
  for (const std::int64_t n : {inizio, e}) {
    cella(s, n).parametro1 = bassi_16(r.v);
    cella(s, n).parametro3 = bassi_16(r.f_tt);
  }

  if (!con_approccio) return;
  for (int i = 0; i <= 3; ++i) {
    if (!cella_libera(cella(s, q - i))) {
      s.codice_errore = errori::approccio_occupato;  // the cells written above stay
      return;
    }
  }
  for (int i = 0; i <= 3; ++i) {
    tratto& t = cella(s, q - i);
    t.tipo = tipo_cella::approccio_rallentamento;
    t.parametro1 = static_cast<std::int16_t>(i + 1);
    if (r.d_v != 0) t.parametro2 = static_cast<std::int16_t>(i + 1);
  }
}

esito_riga riga_rallentamento_letta(Stato& s, LettoreCampi& lettore, const luogo& riga) {
  riga_rallentamento r;
  for (std::int32_t* valore : {&r.x, &r.v, &r.l, &r.f_tt, &r.f_ta, &r.d_v}) *valore = lettore.leggi_intero();
  if (oltre_percorso(s, r.x, 100)) return fine_per_posizione(s, r.x, riga);
  const bool gia_presente = s.codice_errore > 0;
  memo_rallentamento(s, r);
  return dopo_memo(s, r.x, riga, gia_presente);
}

esito_riga riga_abbattimento_letta(Stato& s, LettoreCampi& lettore, const luogo& riga) {
  const std::int32_t posizione = lettore.leggi_intero();
  const std::int32_t valore = lettore.leggi_intero();
  if (oltre_percorso(s, posizione, 100)) return fine_per_posizione(s, posizione, riga);
  if (posizione < 0) {
    registra_errore(s, errori::posizione_negativa, riga, posizione);
    return esito_riga::interrompi;
  }
  tratto& t = cella(s, cella_di(posizione, 0));
  if (!cella_libera(t)) {
    registra_errore(s, errori::abbattimento_occupato, riga, posizione);
    return esito_riga::interrompi;
  }
  if (valore > 0) {
    t.tipo = tipo_cella::abbattimento_valore;
    t.parametro1 = bassi_16(valore);
  } else {
    t.tipo = tipo_cella::abbattimento;
  }
  return esito_riga::continua;
}

}  // namespace cmp
