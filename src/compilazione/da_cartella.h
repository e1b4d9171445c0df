#pragma once
// The built-in run's way in: the two description texts it has just written are read
// back from the folder, compiled, and deleted.
#include "compilazione/compila.h"
#include "disco/cartella.h"

namespace cmp {

// Reads both description texts of the state's identity from the folder, runs the two
// readers on them and deletes them: the line text in every outcome but a missing one
// (101), the train text whenever the train reader was reached or a text failed (25).
// The finishing pass is not run.
esito_compilazione leggi_da_cartella(Stato& s, Cartella& cartella);

// leggi_da_cartella on a reset state, then the finishing pass and the check codes.
esito_compilazione compila_da_cartella(Stato& s, Cartella& cartella, bool con_piano);

}  // namespace cmp
