#pragma once
#include "model/stato.h"
#include "model/tabella_linea.h"

namespace cmp {

// Compares two tagged values numerically: a copy of y when x is greater, otherwise of x.
// The result keeps the type of the value it copies.
valore_etichettato minimo(const valore_etichettato& x, const valore_etichettato& y);

// The finishing pass over the track: abbattimento points ahead of signals that lie
// before a slow-order warning point, ahead of slow-order starts, inside slow orders
// below 110 km/h and before the first signal after them. Records 11, 12 and 13.
void passata_finitura(Stato& s);

}  // namespace cmp
