#pragma once
// Which entries of a scenario table hold its stations: 1, 2, ... in row order, as long as
// an entry is in use and no caption cell of the track names it (caption texts fill the
// table from 80 downward). Taken from the entries rather than the track: kinds from 25 on
// leave the track alone and a stop cell may be taken over later, yet each is a station.
#include <array>
#include <cstddef>
#include <vector>

#include "model/stato.h"

namespace cmp {

std::vector<std::size_t> voci_stazioni(const std::vector<tratto>& percorso,
                                       const std::array<voce_scenario, kVociScenario>& scenario);

}  // namespace cmp
