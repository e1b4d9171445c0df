#pragma once
#include <string>
#include <vector>

#include "errori/stati_uscita.h"

namespace cmp {

// The program's entry: no arguments is the built-in run; otherwise a command.
int esegui_riga_comando(const std::vector<std::string>& argomenti);

// The commands, each with its arguments after the command word.
int comando_compila(const std::vector<std::string>& argomenti);
int comando_esporta(const std::vector<std::string>& argomenti);
int comando_dump(const std::vector<std::string>& argomenti);
int comando_plot(const std::vector<std::string>& argomenti);

// One line on standard error: "compattatore: <testo>".
void segnala(const std::string& testo);

}  // namespace cmp
