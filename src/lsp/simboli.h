#pragma once
// The outline of a document.
#include <nlohmann/json.hpp>

#include "lsp/documenti.h"

namespace cmp {

// The outline: sections, each with its stations, signals, slow orders, boards, captions
// and kilometre references.
nlohmann::json simboli_documento(const documento_aperto& d);

}  // namespace cmp
