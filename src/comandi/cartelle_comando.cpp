#include "comandi/cartelle_comando.h"

#include <filesystem>

#include "model/percorso_utf8.h"

namespace cmp {

bool cartella_valida(Cartella& cartella, bool da_scrivere, rifiuto* r) {
  const std::string che = da_scrivere ? "cannot write into " : "cannot read ";
  if (const auto motivo = cartella.inaccessibile(da_scrivere)) {
    rifiuta(r, che + cartella.percorso_cartella() + ": " + *motivo, cartella.percorso_cartella());
    return false;
  }
  return true;
}

bool cartella_uscita_pronta(Cartella& cartella, rifiuto* r) {
  try {
    cartella.crea();
  } catch (const ErroreFile& e) {
    rifiuta(r, "cannot create " + e.percorso() + ": " + e.motivo(), e.percorso());
    return false;
  }
  return cartella_valida(cartella, true, r);
}

std::string non_scritto(const ErroreFile& e) { return "cannot write " + e.percorso() + ": " + e.motivo(); }

bool sovrascrive(const std::string& uscita, const std::vector<std::string>& ingressi) {
  if (uscita == "-") return false;  // standard output
  std::error_code ec;
  const std::filesystem::path u = percorso_da_utf8(uscita);
  for (const auto& i : ingressi) {
    if (std::filesystem::exists(u, ec) && std::filesystem::equivalent(u, percorso_da_utf8(i), ec)) return true;
  }
  return false;
}

}  // namespace cmp
