#pragma once
// The binary files of a compiled scenario, found in a folder by the identity options and
// read, for the commands that take --from (plot, timetable).
#include <optional>
#include <string>

#include "comandi/opzioni_lette.h"
#include "comandi/rifiuto.h"
#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

struct compilato_letto {
  std::string cartella;      // the folder's path, for messages
  std::string nome_tabella;  // <NAME>_linea.dat
  std::string percorso_sim, percorso_dat, percorso_tabella;
  std::optional<std::string> sim, dat, tabella;  // the plan is optional
};

// Finds the one scenario (*.sim) of the folder that fits --nome-linea and --numero-treno
// and reads its table, its track and (with `con_tabella`, when present) its plan. On a
// fault, one line naming `comando` or the file, and the status to end with: 1 for a
// damaged file, 3 for a usage fault or a file that cannot be read; kUscitaPulita when read.
int trova_compilato(const opzioni_lette& o, const std::string& comando, Cartella& compilati, bool con_tabella,
                    compilato_letto& out, rifiuto* r = nullptr);

// The files read into `s` (see carica_compilato): kUscitaPulita, or 1 after one line
// naming the damaged file. `r` keeps the line printed, for --json.
int carica_letto(const compilato_letto& l, Stato& s, rifiuto* r = nullptr);

}  // namespace cmp
