#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

// What the crew documents tell of the built-in train: each station's time of day (the
// departure at the first, the arrival at the last, the departure elsewhere) and the
// speed-limit rows, as the description holds them.
struct orario_incorporato {
  int ore = 0;
  int minuti = 0;
};
orario_incorporato orario_stazione_incorporata(std::size_t indice);  // 0 to 3, in order
int velocita_incorporata(std::size_t indice);                        // km/h of row 0 to 3

// The 42 lines of the built-in train description (UTF-8, without line ends).
std::vector<std::string> righe_treno_incorporato();

// Writes the built-in train as the train description text of the scenario
// (`<nome_linea>_<numero_treno>-.txt`), replacing any older file.
void dati_treno(const Stato& s, Cartella& cartella);

}  // namespace cmp
