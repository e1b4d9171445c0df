#pragma once
#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "comandi/tabella_comandi.h"

namespace cmp {

// Reads a command's arguments by its options: "--name VALUE" for those in `con_valore`,
// "--flag" for the `interruttori`, the rest positional; anything unknown is an error.
opzioni_lette leggi_opzioni(const std::vector<std::string>& argomenti, const std::set<std::string>& con_valore,
                            const std::set<std::string>& interruttori, std::size_t massimo_posizionali);

}  // namespace cmp
