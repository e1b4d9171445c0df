#pragma once
#include <string>
#include <vector>

#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

// The one writer of a compiled scenario, for the built-in run, compile and watch: the
// binary files, in order the line table (only when `crea_tabella_linea` is non-zero), the
// scenario table, the track, replaced as one by the folder (Cartella::scrivi_insieme:
// under the folder's lock, with the journal of its renames), all old or all new when it
// throws ErroreFile. The line table is encoded while it is written, never held whole.
// Nothing at all when there is no track. Returns the names written.
std::vector<std::string> scrivi_file_binari(const Stato& s, Cartella& cartella);

}  // namespace cmp
