#pragma once
// The railway's kilometre reading at a position of the track, from the kilometre
// references (scenario entries 81 to 83, as the line reader leaves them once ordered).
// One rule for every front end: the picture, the page and the editor's hover.
#include <cstdint>
#include <vector>

#include "model/stato.h"

namespace cmp {

// From `da_metro` on, up to the next piece, km = `valore` + (metro - `da_metro`).
struct tratto_chilometrico {
  std::int64_t da_metro = 0;
  std::int64_t valore = 0;         // metres, the flag's 100 m already added
  int voce = kVoceProgressivaTre;  // the scenario entry it comes from

  bool operator==(const tratto_chilometrico&) const = default;
};

// The references in use as pieces in ascending order of position. Entry 81 always counts
// (all zero: km = position); entries 82 and 83 count unless all their fields are 0, and
// only where no entry before them already stands at the same position. Never empty.
std::vector<tratto_chilometrico> tratti_chilometrici(const Stato& s);
std::vector<tratto_chilometrico> tratti_chilometrici(const voce_scenario& tre, const voce_scenario& due,
                                                     const voce_scenario& uno);

// The kilometre value at a metre: the piece with the greatest start at or before it;
// before every piece, the first one run backwards.
std::int64_t chilometro_a(const std::vector<tratto_chilometrico>& tratti, std::int64_t metro);

}  // namespace cmp
