#include "model/cartella.h"

namespace cmp {

file_da_scrivere file_intero(std::string nome, std::string byte) {
  return {std::move(nome), [byte = std::move(byte)](const ScriviPezzo& scrivi) { scrivi(byte); }};
}

void Cartella::scrivi_insieme(std::vector<file_da_scrivere> file) {
  for (const auto& f : file) {
    std::string byte;
    f.produci([&byte](std::string_view pezzo) { byte.append(pezzo); });
    scrivi(f.nome, byte);
  }
}

std::optional<std::string> CartellaMemoria::leggi(const std::string& nome) {
  const auto it = file.find(nome);
  if (it == file.end()) return std::nullopt;
  return it->second;
}

}  // namespace cmp
