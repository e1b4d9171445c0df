#include "errori/catalogo_errori.h"
#include "finish/finitura.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "model/arrotonda.h"
#include "model/limiti_formato.h"

namespace cmp {
namespace {

constexpr std::int16_t kValoreMarca = 180;
constexpr std::int16_t kVelocitaSenzaCammino = 110;  // km/h: from here on no marks inside
constexpr int kCelleAvviso = 20;                     // step A looks 1000 m back
constexpr std::int64_t kPrimoSegnaleEsaminato = 3;   // d - 2 must still be a cell
constexpr std::int64_t kPassoCammino = 8;            // one mark every 400 m
constexpr std::int64_t kFinestraDopoFine = 12;       // 600 m after the end

constexpr std::int32_t kErroreSegnale = errori::abbattimento_segnale;
constexpr std::int32_t kErroreRitroso = errori::abbattimento_ritroso;
constexpr std::int32_t kErroreRallentamento = errori::abbattimento_rallentamento;

// The three look-back distances ahead of a slow-order start, nearest cell first.
struct distanza_ritroso {
  std::int64_t vicina;
  std::int64_t lontana;
};
constexpr distanza_ritroso kDistanzeRitroso[] = {{5, 7}, {11, 13}, {18, 20}};

bool nel_percorso(const Stato& s, std::int64_t c) { return c >= 0 && c <= s.ultima_cella(); }

tratto& cella(Stato& s, std::int64_t c) { return s.percorso[static_cast<std::size_t>(c)]; }

std::uint8_t tipo_di(Stato& s, std::int64_t c) { return cella(s, c).tipo; }

// A cell beyond either end of the track is never free: nothing is placed there.
bool libera(Stato& s, std::int64_t c) { return nel_percorso(s, c) && cella_libera(cella(s, c)); }

void metti_marca(Stato& s, std::int64_t c) {
  tratto& t = cella(s, c);
  t.tipo = tipo_cella::abbattimento_valore;
  t.parametro1 = kValoreMarca;
}

// Tries the cells in order and marks the first free one; false when none is free.
bool marca_la_prima_libera(Stato& s, std::initializer_list<std::int64_t> candidate) {
  for (const std::int64_t c : candidate) {
    if (libera(s, c)) {
      metti_marca(s, c);
      return true;
    }
  }
  return false;
}

// The pass keeps going after a fault: the last one stays in `codice_errore`, all of
// them in `avvisi`.
void registra_errore(Stato& s, std::int32_t codice, std::int64_t c) {
  const auto posizione = static_cast<std::int32_t>(limiti_file::metri_di_cella(c));
  s.codice_errore = codice;
  s.posizione_errore = posizione;
  s.avvisi.push_back({codice, posizione});
}

// An existing abbattimento point keeps a value below 180 and is lowered to 180 otherwise.
void abbassa_a_marca(tratto& t) {
  const valore_etichettato v =
      minimo(valore_etichettato::intero(kValoreMarca), valore_etichettato::intero(t.parametro1));
  t.parametro1 = static_cast<std::int16_t>(arrotonda(v.valore));
}

// Signals in the 20 cells before the warning point at cell i.
void marca_segnali_prima_dell_avviso(Stato& s, std::int64_t i) {
  for (int k = 1; k <= kCelleAvviso; ++k) {
    const std::int64_t d = i - k;
    if (d < kPrimoSegnaleEsaminato) return;
    if (tipo_di(s, d) != tipo_cella::segnale) continue;
    if (marca_la_prima_libera(s, {d - 1, d - 2})) continue;
    // A free cell two before the signal is preferred to lowering a point right before it.
    if (tipo_di(s, d - 1) == tipo_cella::abbattimento_valore) {
      abbassa_a_marca(cella(s, d - 1));
    } else if (tipo_di(s, d - 2) == tipo_cella::abbattimento_valore) {
      abbassa_a_marca(cella(s, d - 2));
    } else {
      registra_errore(s, kErroreSegnale, d);
    }
  }
}

// Steps B.1 to B.3: one mark at each look-back distance the start is far enough for.
void marca_prima_dell_inizio(Stato& s, std::int64_t i) {
  for (const distanza_ritroso& r : kDistanzeRitroso) {
    if (i <= r.lontana) continue;
    if (!marca_la_prima_libera(s, {i - r.vicina, i - r.vicina - 1, i - r.lontana})) {
      registra_errore(s, kErroreRitroso, i);
    }
  }
}

// Inside a slow order: the eighth cell since the last mark, or one of its neighbours; the new
// counter keeps the next mark 8 cells after whichever cell took this one.
std::int32_t marca_nel_rallentamento(Stato& s, std::int64_t c) {
  if (marca_la_prima_libera(s, {c})) return 0;
  if (marca_la_prima_libera(s, {c - 1})) return 1;
  if (marca_la_prima_libera(s, {c + 1})) return -1;
  registra_errore(s, kErroreRallentamento, c);
  return static_cast<std::int32_t>(kPassoCammino);  // no further mark in this walk
}

// For a slow order of 110 km/h or more: the end cell the walk would have reached.
std::optional<std::int64_t> prima_fine_dopo(Stato& s, std::int64_t inizio) {
  for (std::int64_t c = inizio + 1; c <= s.ultima_cella(); ++c) {
    if (tipo_di(s, c) == tipo_cella::fine_rallentamento) return c;
  }
  return std::nullopt;
}

// After a slow order: a mark ahead of the first signal within 12 cells after the end cell e.
void marca_primo_segnale_dopo(Stato& s, std::int64_t e) {
  const std::int64_t ultima = std::min(e + kFinestraDopoFine, s.ultima_cella());
  for (std::int64_t c = e; c <= ultima; ++c) {
    if (tipo_di(s, c) != tipo_cella::segnale) continue;
    if (c - 1 > 0 && !marca_la_prima_libera(s, {c - 1, c - 2})) {
      registra_errore(s, kErroreRallentamento, e);
    }
    return;
  }
}

// The slow order that starts at cell i.
void marca_rallentamento(Stato& s, std::int64_t i) {
  marca_prima_dell_inizio(s, i);
  std::optional<std::int64_t> fine;
  if (cella(s, i).parametro1 < kVelocitaSenzaCammino) {
    const esito_cammino cammino = cammina_rallentamento(s, i);
    if (cammino.fine_trovata) fine = cammino.cella;
  } else {
    fine = prima_fine_dopo(s, i);
  }
  // With no end cell before the track ends there is no "after the end" to search.
  if (fine) marca_primo_segnale_dopo(s, *fine);
}

}  // namespace

valore_etichettato minimo(const valore_etichettato& x, const valore_etichettato& y) {
  return x.valore > y.valore ? y : x;
}

esito_cammino cammina_rallentamento(Stato& s, std::int64_t inizio) {
  esito_cammino esito{inizio, 0, false};
  while (esito.cella < s.ultima_cella()) {
    ++esito.cella;
    ++esito.contatore;
    if (esito.contatore == kPassoCammino) esito.contatore = marca_nel_rallentamento(s, esito.cella);
    if (tipo_di(s, esito.cella) == tipo_cella::fine_rallentamento) {
      esito.fine_trovata = true;
      return esito;
    }
  }
  return esito;
}

void passata_finitura(Stato& s) {
  const std::int64_t ultima_esaminata = s.ultima_cella() - 2;  // fixed before the first cell
  for (std::int64_t i = 1; i <= ultima_esaminata; ++i) {
    const std::uint8_t tipo = tipo_di(s, i);
    if (tipo == tipo_cella::avviso_rallentamento) marca_segnali_prima_dell_avviso(s, i);
    if (tipo == tipo_cella::inizio_rallentamento) marca_rallentamento(s, i);
  }
}

}  // namespace cmp
