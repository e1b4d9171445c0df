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

// export's writing, into this folder: status 0, or 3 after one line naming the file.
class Cartella;
int esporta_in(Cartella& cartella);

// One line on standard error: "compattatore: <testo>".
void segnala(const std::string& testo);

}  // namespace cmp
