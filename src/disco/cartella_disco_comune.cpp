// What CartellaDisco does alike on Linux and Windows: the folder itself (made, checked,
// listed) through std::filesystem, and the files the user names through the system's
// leggi_file and scrivi_uscita.
#include <filesystem>
#include <system_error>

#include "disco/cartella_disco.h"
#include "model/percorso_utf8.h"

namespace cmp {

void CartellaDisco::crea() {
  std::error_code ec;
  const std::filesystem::path base = percorso_da_utf8(base_);
  if (std::filesystem::exists(base, ec) || std::filesystem::is_symlink(base, ec)) return;
  std::filesystem::create_directories(base, ec);
  if (ec) throw ErroreFile(base_, ec.message());
}

std::optional<std::string> CartellaDisco::inaccessibile(bool da_scrivere) {
  std::error_code ec;
  const std::filesystem::path base = percorso_da_utf8(base_);
  if (!std::filesystem::is_directory(base, ec)) {
    return std::string(std::filesystem::exists(base, ec) ? "not a directory" : "no such directory");
  }
  return cartella_inaccessibile(base_, da_scrivere);
}

std::vector<std::string> CartellaDisco::elenca_file() {
  std::vector<std::string> nomi;
  std::error_code ec;
  std::filesystem::directory_iterator voci(percorso_da_utf8(base_), ec);
  if (ec) throw ErroreFile(base_, ec.message());
  for (const auto& voce : voci) {
    if (voce.is_regular_file(ec)) nomi.push_back(utf8_del_percorso(voce.path().filename()));
  }
  return nomi;
}

std::optional<std::string> CartellaDisco::leggi_ingresso(const std::string& nome, std::size_t massimo) {
  return leggi_file(percorso_di(nome), massimo);
}

void CartellaDisco::scrivi_uscita(const std::string& nome, std::string_view byte) {
  cmp::scrivi_uscita(percorso_di(nome), byte);
}

}  // namespace cmp
