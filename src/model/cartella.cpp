#include "model/cartella.h"

namespace cmp {

void Cartella::scrivi_insieme(std::vector<std::pair<std::string, std::string>> file) {
  for (const auto& [nome, byte] : file) scrivi(nome, byte);
}

std::optional<std::string> CartellaMemoria::leggi(const std::string& nome) {
  const auto it = file.find(nome);
  if (it == file.end()) return std::nullopt;
  return it->second;
}

}  // namespace cmp
