#pragma once
#include <optional>
#include <string>

namespace cmp {

// Why a route identifier or train number cannot be used, or nullopt when it can:
// empty, a path separator, "..", a control character, or a character outside Windows-1252.
std::optional<std::string> motivo_identita_non_valida(const std::string& utf8);

// The identity from the names of the two description texts when they follow the
// patterns "<nome_linea>_linea.txt" and "<nome_linea>_<numero_treno>-.txt"; empty when
// the name does not follow its pattern.
std::string deduci_nome_linea(const std::string& percorso_linea);
std::string deduci_numero_treno(const std::string& percorso_treno, const std::string& nome_linea);

}  // namespace cmp
