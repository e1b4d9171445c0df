#include "comandi/identita.h"

#include <filesystem>

#include "model/cp1252.h"

namespace cmp {
std::optional<std::string> motivo_identita_non_valida(const std::string& utf8) {
  if (utf8.empty()) return "it is empty";
  if (utf8.find('/') != std::string::npos || utf8.find('\\') != std::string::npos) {
    return "it holds a path separator";
  }
  if (utf8.find("..") != std::string::npos) return "it holds \"..\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return "it holds a control character";
  }
  // C1 control characters have no Windows-1252 byte either.
  if (!rappresentabile_cp1252(utf8)) return "it holds a character outside the Windows-1252 code page";
  return std::nullopt;
}

std::string deduci_nome_linea(const std::string& percorso_linea) {
  const std::string linea = std::filesystem::path(percorso_linea).filename().string();
  const std::string coda = "_linea.txt";
  if (!linea.ends_with(coda) || linea.size() == coda.size()) return "";
  return linea.substr(0, linea.size() - coda.size());
}

std::string deduci_numero_treno(const std::string& percorso_treno, const std::string& nome_linea) {
  const std::string treno = std::filesystem::path(percorso_treno).filename().string();
  const std::string testa = nome_linea + "_";
  const std::string coda = "-.txt";
  if (nome_linea.empty() || treno.rfind(testa, 0) != 0 || !treno.ends_with(coda) ||
      treno.size() == testa.size() + coda.size()) {
    return "";
  }
  return treno.substr(testa.size(), treno.size() - testa.size() - coda.size());
}

}  // namespace cmp
