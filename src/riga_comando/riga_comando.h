#pragma once
#include <string>
#include <vector>

#include "errori/stati_uscita.h"

namespace cmp {

// The program's entry: no arguments is the built-in run; otherwise a command.
int esegui_riga_comando(const std::vector<std::string>& argomenti);

// export's writing, into this folder: status 0, or 3 after one line naming the file.
class Cartella;
int esporta_in(Cartella& cartella);

// One line on standard error: "compattatore: <testo>".
void segnala(const std::string& testo);

}  // namespace cmp
