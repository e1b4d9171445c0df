#pragma once
#include <string>
#include <vector>

#include "errori/stati_uscita.h"

namespace cmp {

// The program's entry: no arguments is the built-in run; otherwise a command.
int esegui_riga_comando(const std::vector<std::string>& argomenti);

// export's writing, into this folder: status 0, or 3 after one line naming the file.
// Without `sostituisci`, a folder already holding one of the files is refused whole.
class Cartella;
int esporta_in(Cartella& cartella, bool sostituisci = true);

// One line on standard error: "compattatore: error: <testo>".
void segnala(const std::string& testo);
// One line on standard error: "compattatore: warning: <testo>".
void avvisa(const std::string& testo);

}  // namespace cmp
