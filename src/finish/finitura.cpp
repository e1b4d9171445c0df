#include "finish/finitura.h"

namespace cmp {

valore_etichettato minimo(const valore_etichettato& x, const valore_etichettato& y) {
  return x.valore > y.valore ? y : x;
}

void passata_finitura(Stato& /*s*/) {
  // The abbattimento marks come with the finishing pass.
}

}  // namespace cmp
