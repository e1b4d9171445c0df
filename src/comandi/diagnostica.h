#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "model/stato.h"

namespace cmp {

// The name of a cell's object, for messages ("a signal", "a caption board", ...).
std::string nome_tipo_cella(std::uint8_t tipo);

// A catalogue message with its {placeholders} filled in from the state and the position.
std::string compila_messaggio(const Stato& s, std::string_view modello, std::int32_t posizione);

// A plain-English explanation of an error number recorded by the readers or the
// finishing pass, with the position and the limits that apply.
std::string descrivi_errore(const Stato& s, std::int32_t codice, std::int32_t posizione);

}  // namespace cmp
