#pragma once
// What the interactive page of a user's descriptions needs besides the compiled state:
// shared by plot and watch.
#include <vector>

#include "comandi/descrizioni_utente.h"
#include "descrizioni/reperti.h"
#include "plot/pagina.h"

namespace cmp {

// The texts the page links to, under the names given and their absolute paths.
std::vector<testo_sorgente> testi_sorgente(const descrizioni_utente& d);
// The findings of the compile, each at the file, line and column compile prints.
std::vector<diagnostica_pagina> diagnostiche_pagina(const std::vector<reperto>& reperti);

}  // namespace cmp
