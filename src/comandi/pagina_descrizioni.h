#pragma once
// What the interactive page of a user's descriptions needs besides the compiled state:
// shared by plot and watch.
#include <vector>

#include "comandi/descrizioni_utente.h"
#include "compilazione/compila.h"
#include "plot/pagina.h"

namespace cmp {

// The texts the page links to, under the names given and their absolute paths.
std::vector<testo_sorgente> testi_sorgente(const descrizioni_utente& d);
// The reader's error and the finishing pass's warnings, as the compile command prints them.
std::vector<diagnostica_pagina> diagnostiche_pagina(const Stato& s, const esito_compilazione& esito);

}  // namespace cmp
