#pragma once
// Hover: what the row under the cursor means, field by field, and what its cell holds
// in the compiled track.
#include <nlohmann/json.hpp>

#include "lsp/documenti.h"

namespace cmp {

// Hover on line `riga` (from 0) at `colonna` (from 0): null when the line holds no row.
nlohmann::json hover_riga(const documento_aperto& d, int riga, int colonna);

}  // namespace cmp
