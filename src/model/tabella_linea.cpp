#include "model/tabella_linea.h"

#include <stdexcept>

namespace cmp {

void TabellaLinea::crea(std::size_t righe) {
  // Allocated aside first: when memory runs out the table stays as it was, never a
  // count of rows without their values.
  std::vector<double> valori(2 * righe, 0.0);
  std::vector<std::uint8_t> etichette(2 * righe, static_cast<std::uint8_t>(valore_etichettato::tipo::vuoto));
  valori_.swap(valori);
  etichette_.swap(etichette);
  righe_ = righe;
}

void TabellaLinea::svuota() {
  righe_ = 0;
  valori_.clear();
  valori_.shrink_to_fit();
  etichette_.clear();
  etichette_.shrink_to_fit();
}

void TabellaLinea::scrivi(std::size_t riga, int asse, valore_etichettato v) {
  const std::size_t i = indice(riga, asse);
  valori_.at(i) = v.valore;
  etichette_.at(i) = static_cast<std::uint8_t>(v.etichetta);
}

}  // namespace cmp
