// What CartellaDisco does alike on Linux and Windows: the folder itself (made, checked,
// listed) through std::filesystem, and the files the user names through the system's
// leggi_file and scrivi_uscita.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "disco/cartella_disco.h"

namespace cmp {

void CartellaDisco::crea() {
  std::error_code ec;
  if (std::filesystem::exists(base_, ec) || std::filesystem::is_symlink(base_, ec)) return;
  std::filesystem::create_directories(base_, ec);
  if (ec) throw ErroreFile(base_, ec.message());
}

std::optional<std::string> CartellaDisco::inaccessibile(bool da_scrivere) {
  std::error_code ec;
  if (!std::filesystem::is_directory(base_, ec)) {
    return std::string(std::filesystem::exists(base_, ec) ? "not a directory" : "no such directory");
  }
  if (::access(base_.c_str(), da_scrivere ? W_OK | X_OK : R_OK | X_OK) != 0) return std::string(std::strerror(errno));
  return std::nullopt;
}

std::vector<std::string> CartellaDisco::elenca_file() {
  std::vector<std::string> nomi;
  std::error_code ec;
  std::filesystem::directory_iterator voci(base_, ec);
  if (ec) throw ErroreFile(base_, ec.message());
  for (const auto& voce : voci) {
    if (voce.is_regular_file(ec)) nomi.push_back(voce.path().filename().string());
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
