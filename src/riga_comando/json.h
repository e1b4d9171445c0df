#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "model/testo_visibile.h"

namespace cmp {

// A JSON string literal of a text: valid JSON whatever its bytes (see letterale_json).
inline std::string json_testo(std::string_view testo) { return letterale_json(testo); }

// What a command with --json prints when it ends with status 3 (a usage fault, a file that
// cannot be read or written): the status, the file concerned (null when none) and the
// line printed on standard error, as it was printed. Also for a file refused whole with
// another status.
inline std::string json_rifiuto(std::string_view messaggio, const std::optional<std::string>& file, int stato = 3) {
  return "{\"stato\": " + std::to_string(stato) + ", \"file\": " + (file ? json_testo(*file) : std::string("null")) +
         ", \"messaggio\": " + json_testo(testo_visibile(messaggio)) + "}";
}

}  // namespace cmp
