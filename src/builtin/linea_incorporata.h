#pragma once
#include <string>
#include <vector>

#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

// The 222 lines of the built-in line description (UTF-8), from "[generale]" to "[fine]".
std::vector<std::string> righe_linea_incorporata();

// Writes the built-in line description as `<nome_linea>_linea.txt`, replacing any older file.
void dati_linea(const Stato& s, Cartella& cartella);

}  // namespace cmp
