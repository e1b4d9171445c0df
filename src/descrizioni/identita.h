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

// Why the name does not give the identity, naming the pattern expected and what it asks
// for ("expected 'X_<NUMBER>-.txt': the train file's name begins with the route's name 'X'
// and '_'"); empty when it does.
std::string perche_nome_linea_non_dedotto(const std::string& percorso_linea);
// `nome_dato`: the route's name came from --nome-linea, not from the line file's name.
std::string perche_numero_non_dedotto(const std::string& percorso_treno, const std::string& nome_linea,
                                      bool nome_dato = false);

}  // namespace cmp
