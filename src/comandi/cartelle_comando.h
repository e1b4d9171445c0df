#pragma once
// The folders a command is given on its command line: checked, made, and guarded against
// writing over an input.
#include <string>
#include <vector>

#include "comandi/rifiuto.h"
#include "disco/cartella.h"

namespace cmp {

// A folder named on the command line: when it is missing, not a folder or, to be
// written into, not writable, one line on standard error says so and the answer is false.
bool cartella_valida(Cartella& cartella, bool da_scrivere, rifiuto* r = nullptr);
// The folder given to --out: created with its parents when missing (as `cmake -B` does),
// then checked as above.
bool cartella_uscita_pronta(Cartella& cartella, rifiuto* r = nullptr);

// "cannot write FILE: REASON", the line every command gives for a file it could not write.
std::string non_scritto(const ErroreFile& e);

// True when writing `uscita` would replace one of the inputs.
bool sovrascrive(const std::string& uscita, const std::vector<std::string>& ingressi);

}  // namespace cmp
