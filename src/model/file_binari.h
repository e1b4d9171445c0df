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

// The largest file of each kind a compile can write, from the layouts above: a reader
// never needs to take more, and a larger file is damaged.
// The plan of a 1,000,000 m line: 1,007,001 rows, two columns, at most 10 bytes a value.
inline constexpr std::size_t kMassimoTabellaLinea = std::size_t{2} * (1'000'000 + 7'001) * (2 + 8);
// The track of the same line: a cell every 50 m, cells 0 to 20,000, 15 bytes each.
inline constexpr std::size_t kMassimoPercorso = std::size_t{1'000'000 / 50 + 1} * 15;
// The scenario table: 87 entries of 34 bytes, each with a text of at most 65535 bytes.
inline constexpr std::size_t kMassimoScenario = std::size_t{kVociScenario} * (34 + 2 + 65'535);

}  // namespace cmp
