#pragma once
// The commands that write, each on the folders it is given: the descriptions and the
// compiled files are read from `ingressi`, by the names given on the command line (a
// folder on disk with an empty path takes them as paths), and every file written goes
// to `uscita`. The commands themselves open the folders on disk and call these, so that
// a test can run the same code on folders in memory and fail any operation.
#include "comandi/opzioni_lette.h"
#include "disco/cartella.h"

namespace cmp {

// compile: status 0, 1 (description errors), 2 (a final error, nothing written) or 3.
// `uscita` is the folder of --out.
int compila_in(const opzioni_lette& o, Cartella& ingressi, Cartella& uscita);

// plot: the picture or the page of --out, written to `uscita` under that name. With
// --from, `ingressi` is the folder of the compiled scenario and names its files alone;
// otherwise it holds the descriptions.
int disegna_in(const opzioni_lette& o, Cartella& ingressi, Cartella& uscita);

// timetable: reads only. With --from, `ingressi` is the folder of the compiled scenario.
int orario_in(const opzioni_lette& o, Cartella& ingressi);

}  // namespace cmp
