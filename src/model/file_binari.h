#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "model/stato.h"

namespace cmp {

// The three binary scenario files, packed field by field, little-endian, no gaps, in the
// order of the field lists of model/stato.h.

// `tabella_linea`: all of column 0, then all of column 1; each value a 16-bit type code
// and its value (none for empty, 2 bytes for a 16-bit integer, 8 for a double).
std::string codifica_tabella_linea(const TabellaLinea& tabella);
// The same bytes handed to `pezzo` in blocks of at most 64 KB, in order: the file of a
// long line is 20 MB and need never be held whole.
void codifica_tabella_linea(const TabellaLinea& tabella, const std::function<void(std::string_view)>& pezzo);

// `scenario`: the 87 entries, each 34 bytes plus its text (a 16-bit count and the bytes).
// A text longer than 65535 bytes cannot be counted in 16 bits: it is cut to 65535.
std::string codifica_voce(const voce_scenario& voce);
std::string codifica_scenario(const std::array<voce_scenario, kVociScenario>& scenario);

// `percorso`: the cells 0 to n, 15 bytes each.
std::string codifica_percorso(const std::vector<tratto>& percorso);

// The largest file of each kind a compile can write: model/limiti_formato.h.

}  // namespace cmp
