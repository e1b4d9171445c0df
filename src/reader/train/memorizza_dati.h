#pragma once
#include "model/cartella.h"
#include "model/stato.h"

namespace cmp {

// Reads the line description and then the train description of the scenario from the
// folder, compiles them into the state and deletes them: the line text in every outcome
// but a missing one (101), the train text whenever it was reached or a read failed (25).
void memorizza_dati(Stato& s, Cartella& cartella);

}  // namespace cmp
