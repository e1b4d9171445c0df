#pragma once
// Completion of the keyword field.
#include <nlohmann/json.hpp>

#include "lsp/documenti.h"

namespace cmp {

// Completion items for the keyword field at that place: the keywords valid there, each
// with a snippet of its fields, and the section headers.
nlohmann::json completamento_riga(const documento_aperto& d, int riga, int colonna);

}  // namespace cmp
