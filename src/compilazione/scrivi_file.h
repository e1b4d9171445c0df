#pragma once
#include <string>
#include <vector>

#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

// The binary files, in order: the line table (only when `crea_tabella_linea` is
// non-zero), the scenario table, the track, handed to the folder together (a folder on
// disk replaces them as one). The line table is encoded while the folder writes it, so
// `s` must still be there then (until a ScrittureInsieme's `conferma`). Nothing at all
// when there is no track. Returns the names written.
std::vector<std::string> scrivi_file_binari(const Stato& s, Cartella& cartella);

}  // namespace cmp
