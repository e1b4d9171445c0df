#include "model/cartella.h"

namespace cmp {

std::optional<std::string> CartellaMemoria::leggi(const std::string& nome) {
  const auto it = file.find(nome);
  if (it == file.end()) return std::nullopt;
  return it->second;
}

}  // namespace cmp
