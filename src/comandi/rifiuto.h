#pragma once
// A command's run refused with status 3, as the commands report it.
#include <optional>
#include <string>

namespace cmp {

// A run refused with status 3: the line printed and the file it concerns, for --json.
struct rifiuto {
  std::string messaggio;
  std::optional<std::string> file;
};
// Prints the line (as `segnala`) and, when `r` is given, keeps it there.
void rifiuta(rifiuto* r, const std::string& messaggio, std::optional<std::string> file = std::nullopt);

}  // namespace cmp
