#include "reader/train/lettore_treno.h"
#include "reader/train/righe_treno.h"

namespace cmp {
namespace {

// The four approach markers stand 2, 4, 6 and 8 cells before the signal: a signal
// below cell 8 would put the farthest before cell 0.
constexpr std::int64_t kPrimaCellaSegnale = 8;

std::int16_t codice(std::int32_t decine, std::int32_t unita, const char* cosa) {
  return bassi_16(entro_32(std::int64_t{decine} * 10 + unita, cosa));
}

}  // namespace

void memo_segnale(Stato& s, riga_segnale& r) {
  const std::int64_t n = cella_di(r.posizione, 1);
  if (n < kPrimaCellaSegnale) {
    s.codice_errore = errori::segnale_presso_inizio;
    return;
  }
  tratto& cella = s.percorso[static_cast<std::size_t>(n)];
  if (!cella_libera(cella)) {
    s.codice_errore = errori::segnale_occupato;
    return;
  }

  // Everything is computed before the first write, so that a value leaving 32 bits
  // (a reading failure) leaves the track as it was.
  const std::int32_t lato = entro_32(std::int64_t{r.sx} * 3 + r.dx, "3 * sx + dx");
  const std::int16_t p1 = codice(r.s1, r.d1, "10 * s1 + d1");
  const std::int16_t p2 = codice(r.s2, r.d2, "10 * s2 + d2");
  const std::int16_t p3 = codice(r.s3, r.d3, "10 * s3 + d3");
  const std::int16_t p4 = codice(r.rapp, lato, "10 * rapp + 3 * sx + dx");
  const std::int32_t base_avviso = entro_32(std::int64_t{lato} * 10, "10 * (3 * sx + dx)");
  entro_32(std::int64_t{base_avviso} + 4, "the approach marker");

  cella.tipo = tipo_cella::segnale;
  cella.parametro1 = p1;
  cella.parametro2 = p2;
  cella.parametro3 = p3;
  cella.parametro4 = p4;
  // A time between 1 and 100 is raised to 101; only the second kind of signal keeps it.
  if (r.tempo >= 1 && r.tempo <= 100) r.tempo = 101;
  cella.tempo = r.sx == 2 ? bassi_8(r.tempo) : 0;
  for (int k = 1; k <= 4; ++k) {
    s.percorso[static_cast<std::size_t>(n - 2 * k)].avviso = bassi_8(base_avviso + k);
  }
}

esito_riga riga_segnale_letta(Stato& s, LettoreCampi& lettore, const luogo& riga) {
  riga_segnale r;
  for (std::int32_t* valore :
       {&r.posizione, &r.sx, &r.s1, &r.s2, &r.s3, &r.rapp, &r.dx, &r.d1, &r.d2, &r.d3, &r.tempo}) {
    *valore = lettore.leggi_intero();
  }
  if (oltre_percorso(s, r.posizione, 100)) return fine_per_posizione(s, r.posizione, riga);
  const bool gia_presente = s.codice_errore > 0;
  memo_segnale(s, r);
  return dopo_memo(s, r.posizione, riga, gia_presente);
}

}  // namespace cmp
