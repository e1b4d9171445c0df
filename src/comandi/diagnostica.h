#pragma once
#include <cstdint>
#include <string>

#include "model/stato.h"

namespace cmp {

// The name of a cell's object, for messages ("a signal", "a caption board", ...).
std::string nome_tipo_cella(std::uint8_t tipo);

// A plain-English explanation of an error number recorded by the readers or the
// finishing pass, with the position and the limits that apply.
std::string descrivi_errore(const Stato& s, std::int32_t codice, std::int32_t posizione);

}  // namespace cmp
