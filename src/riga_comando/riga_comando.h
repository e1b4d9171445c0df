#pragma once
#include <string>
#include <vector>

namespace cmp {

// The program's entry: no arguments is the built-in run; otherwise a command.
int esegui_riga_comando(const std::vector<std::string>& argomenti);

}  // namespace cmp
