#pragma once
#include <string>
#include <vector>

namespace cmp {

// Exit statuses of the commands.
inline constexpr int kUscitaPulita = 0;
inline constexpr int kUscitaErroreDescrizione = 1;  // a description error was recorded
inline constexpr int kUscitaFinale = 2;             // 1250 / 1251: no binary file written
inline constexpr int kUscitaUso = 3;                // usage, or a file that cannot be read or written

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
