#pragma once
#include "model/stato.h"

namespace cmp {

// Puts the three kilometre references of entries 81, 82 and 83 in order: the one with
// the greatest position in 81 (or, when the positions add up to 0, the one in use), then
// raises the kilometre value by 100 where the flag is 1. Throws FallimentoRiga when the
// sum of the positions or a raised value leaves 32 bits; nothing is written then.
void progressive_ordina(Stato& s);

}  // namespace cmp
