#include "model/tabella_linea.h"

#include <cstring>
#include <stdexcept>

namespace cmp {

void TabellaLinea::crea(std::size_t righe) {
  // A compile into the same state (watch, the editor server) reuses the room of the last
  // plan: filling it in place allocates nothing, so nothing can fail half-way.
  if (valori_.capacity() >= 2 * righe && etichette_.capacity() >= 2 * righe) {
    valori_.assign(2 * righe, 0.0);
    etichette_.assign(2 * righe, static_cast<std::uint8_t>(valore_etichettato::tipo::vuoto));
    righe_ = righe;
    return;
  }
  // Otherwise allocated aside first: when memory runs out the table stays as it was,
  // never a count of rows without their values.
  std::vector<double> valori(2 * righe, 0.0);
  std::vector<std::uint8_t> etichette(2 * righe, static_cast<std::uint8_t>(valore_etichettato::tipo::vuoto));
  valori_.swap(valori);
  etichette_.swap(etichette);
  righe_ = righe;
}

// The room is kept for the next plan of the same state (see crea).
void TabellaLinea::svuota() {
  righe_ = 0;
  valori_.clear();
  etichette_.clear();
}

bool TabellaLinea::operator==(const TabellaLinea& altra) const {
  return righe_ == altra.righe_ && etichette_ == altra.etichette_ &&
         (valori_.empty() || std::memcmp(valori_.data(), altra.valori_.data(), valori_.size() * sizeof(double)) == 0);
}

void TabellaLinea::scrivi(std::size_t riga, int asse, valore_etichettato v) {
  const std::size_t i = indice(riga, asse);
  valori_.at(i) = v.valore;
  etichette_.at(i) = static_cast<std::uint8_t>(v.etichetta);
}

}  // namespace cmp
