#pragma once
#include <optional>
#include <string_view>

#include "model/decodifica_file.h"
#include "model/stato.h"

namespace cmp {

// The three binary files of a compiled scenario.
enum class file_compilato { tabella_linea, scenario, percorso };

struct difetto_compilato {
  file_compilato file = file_compilato::scenario;
  difetto_file difetto;
};

// Fills the state from the bytes of the binary files, for drawing: the track, the 87
// entries (the identity comes from entries 85 and 86) and, when given, the plan. A file
// that cannot be decoded whole is refused: the first defect is returned and the state is
// left as it was.
std::optional<difetto_compilato> carica_compilato(Stato& s, std::optional<std::string_view> tabella_linea,
                                                  std::string_view scenario, std::string_view percorso);

}  // namespace cmp
