#pragma once
#include <string>
#include <vector>

#include "model/cartella.h"
#include "model/stato.h"

namespace cmp {

// The 42 lines of the built-in train description (UTF-8, without line ends).
std::vector<std::string> righe_treno_incorporato();

// Writes the built-in train as the train description text of the scenario
// (`<nome_linea>_<numero_treno>-.txt`), replacing any older file.
void dati_treno(const Stato& s, Cartella& cartella);

}  // namespace cmp
