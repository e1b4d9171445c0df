#pragma once
#include "disco/cartella_disco.h"
#include "finestra/interfaccia.h"
#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

// The built-in scenario's identity: route "VallorsaC_Pietrana", train "4721".
void identita_incorporata(Stato& s);

// The built-in run: identity, waiting window, the five text files, then the compile
// (reading the descriptions back and deleting them) and the binary files. Returns the
// exit status: kUscitaFinale after " Errore n. " (no binary file), kUscitaPulita
// otherwise. The folder's turn is taken once the window is up, held for the whole run and
// let go before an error box.
int run_incorporato(Stato& s, Cartella& cartella, Interfaccia& ui);

// The built-in run in this folder, a file that cannot be read or written reported as one
// line on standard error. Returns the exit status.
int run_incorporato_in(Cartella& cartella, Interfaccia& ui);

// The no-argument run in the program's folder. Returns the exit status.
int esegui_run_incorporato();

}  // namespace cmp
