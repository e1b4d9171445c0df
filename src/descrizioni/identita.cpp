#include "descrizioni/identita.h"

#include <filesystem>

#include "model/cp1252.h"
#include "model/nomi_file.h"
#include "model/percorso_utf8.h"

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
  return linea_dal_nome(utf8_del_percorso(percorso_da_utf8(percorso_linea).filename()));
}

std::string deduci_numero_treno(const std::string& percorso_treno, const std::string& nome_linea) {
  return treno_dal_nome(utf8_del_percorso(percorso_da_utf8(percorso_treno).filename()), nome_linea);
}

std::string perche_nome_linea_non_dedotto(const std::string& percorso_linea) {
  if (!deduci_nome_linea(percorso_linea).empty()) return "";
  return "expected '<NAME>_linea.txt': the line file's name is the route's name followed by '_linea.txt'";
}

std::string perche_numero_non_dedotto(const std::string& percorso_treno, const std::string& nome_linea,
                                      bool nome_dato) {
  if (!deduci_numero_treno(percorso_treno, nome_linea).empty()) return "";
  const std::string treno = utf8_del_percorso(percorso_da_utf8(percorso_treno).filename());
  const std::string atteso = "expected '" + nome_linea + "_<NUMBER>-.txt': ";
  if (treno.rfind(nome_linea + "_", 0) != 0) {
    return atteso + "the train file's name begins with the route's name '" + nome_linea + "'" +
           (nome_dato ? " (given by --nome-linea)" : "") + " and '_'";
  }
  if (!treno.ends_with(kCodaDescrizioneTreno)) return atteso + "the train file's name ends with '-.txt'";
  return atteso + "the train number, between '" + nome_linea + "_' and '-.txt', is empty";
}

}  // namespace cmp
