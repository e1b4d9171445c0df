#pragma once
#include <optional>
#include <string_view>

#include "model/decodifica_file.h"
#include "model/stato.h"

namespace cmp {

// Fills the state from the bytes of the binary files, for drawing: the track, the 87
// entries (the identity comes from entries 85 and 86) and, when given, the plan. Each
// file must decode whole and the files must belong together (see verifica_insieme):
// otherwise the first defect is returned and the state is left as it was, so nothing is
// ever drawn from a damaged file.
std::optional<difetto_compilato> carica_compilato(Stato& s, std::optional<std::string_view> tabella_linea,
                                                  std::string_view scenario, std::string_view percorso);

}  // namespace cmp
