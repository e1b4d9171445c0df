#include "builtin/scrittore_testo.h"

#include <stdexcept>

#include "model/cp1252.h"

namespace cmp {

TabellaRighe tabella_righe(const std::vector<std::string>& righe) {
  if (righe.size() >= kSlotTabellaRighe) throw std::length_error("more than 1000 lines for one text file");
  TabellaRighe tabella;
  for (std::size_t i = 0; i < righe.size(); ++i) tabella[i] = righe[i];
  tabella[righe.size()] = std::string(kMarcaFine);
  return tabella;
}

std::string testo_da_tabella(const TabellaRighe& tabella) {
  std::string out;
  for (const auto& riga : tabella) {
    if (riga == kMarcaFine) break;
    out += in_cp1252(riga);
    out += "\r\n";
  }
  return out;
}

void scrivi_tabella(Cartella& cartella, const std::string& nome, const TabellaRighe& tabella) {
  cartella.scrivi(nome, testo_da_tabella(tabella));
}

}  // namespace cmp
