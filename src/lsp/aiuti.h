#pragma once
// What the editor shows about a text: hover, completion and the outline, as LSP JSON.
#include <nlohmann/json.hpp>

#include "lsp/server_lsp.h"

namespace cmp {

// Hover on line `riga` (from 0) at `colonna` (from 0): null when the line holds no row.
nlohmann::json hover_riga(const documento_aperto& d, int riga, int colonna);

// Completion items for the keyword field at that place: the keywords valid there, each
// with a snippet of its fields, and the section headers.
nlohmann::json completamento_riga(const documento_aperto& d, int riga, int colonna);

// The outline: sections, each with its stations, signals, slow orders, boards, captions
// and kilometre references.
nlohmann::json simboli_documento(const documento_aperto& d);

}  // namespace cmp
