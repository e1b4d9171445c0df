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
// The fastest run with the default assumptions, worked out once for the page to draw, and
// its timetable warnings (301, 302) added to the page's findings at their station rows
// (`pagina.righe` set first). The page alone shows them: neither the terminal nor the status.
void aggiungi_corsa(opzioni_pagina& pagina, const Stato& s, const esito_compilazione& esito);

}  // namespace cmp
