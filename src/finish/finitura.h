#pragma once
#include <cstdint>

#include "model/stato.h"
#include "model/tabella_linea.h"

namespace cmp {

// Compares two tagged values numerically: a copy of y when x is greater, otherwise of x.
// The result keeps the type of the value it copies.
valore_etichettato minimo(const valore_etichettato& x, const valore_etichettato& y);

// The finishing pass over the track: abbattimento points ahead of signals that lie
// before a slow-order warning point, ahead of slow-order starts, inside slow orders
// below 110 km/h and before the first signal after them. Records 11, 12 and 13 in
// `codice_errore`/`posizione_errore` (the last one wins) and appends each to `avvisi`.
// Never reads or writes a cell beyond the last one.
void passata_finitura(Stato& s);

// Where the walk through a slow order stopped.
struct esito_cammino {
  std::int64_t cella = 0;      // the end cell, or the last cell of the track when none came
  std::int32_t contatore = 0;  // cells since the last mark (8 after an error 13 and onwards)
  bool fine_trovata = false;   // false: the track ended before any end cell
};

// The walk inside a slow order that starts at cell `inizio`: a mark every 8 cells until
// the first end cell. Part of the pass; exposed so that its counter can be checked.
esito_cammino cammina_rallentamento(Stato& s, std::int64_t inizio);

}  // namespace cmp
