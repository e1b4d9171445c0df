#pragma once
// The help texts and the bash completion, written from the command table.
#include <string>

#include "comandi/tabella_comandi.h"

namespace cmp {

// `compattatore NAME --help`, and `compattatore --help`.
std::string aiuto_comando(const descrizione_comando& c);
std::string aiuto_generale();
// The bash completion script, from the table (printed by the hidden command
// `compattatore __completamento_bash`, which the build runs to install it).
std::string completamento_bash();

}  // namespace cmp
