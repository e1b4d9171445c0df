#pragma once
// The JSON of the protocol that every part of the server shares: reading the fields a
// message must have, the positions and ranges of a text, and a message as it is sent.
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace cmp {

// The parameters a request needs but does not have: answered with "invalid params".
struct ParametriMancanti : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The field `nome` of `oggetto`, of the kind named; ParametriMancanti when it is missing
// or of another kind.
const std::string& campo_testo(const nlohmann::json& oggetto, const char* nome);
const nlohmann::json& campo_oggetto(const nlohmann::json& oggetto, const char* nome);
int campo_intero(const nlohmann::json& oggetto, const char* nome);

// A place in a text (line and character from 0), and a range on one line.
nlohmann::json posizione(int riga, int colonna);
nlohmann::json intervallo(int riga, int da, int a);

// The body of a message as it is sent: compact, invalid UTF-8 replaced.
std::string corpo_messaggio(const nlohmann::json& messaggio);

}  // namespace cmp
