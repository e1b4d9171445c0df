#pragma once
#include <string>

#include "model/stato.h"

namespace cmp {

// The compiled line as one self-contained SVG page (UTF-8): the plan of the line with
// its stations, signals and boards, and below it the gradient and speed-limit profiles
// on one kilometre axis. Without a plan only the profiles are drawn; without a track,
// only the title and a line saying so. The same state always gives the same bytes.
std::string disegna_svg(const Stato& s);

}  // namespace cmp
