#pragma once
// The timetable check's findings in the one list's form: a warning at each station row
// whose station the fastest run reaches after its time (301) or with too little margin
// (302). compattatore timetable, the page and the language server show these; compile
// never gives them, so its status and its files stay what they are.
#include <vector>

#include "descrizioni/reperti.h"
#include "orario/corsa_minima.h"

namespace cmp {

// `righe`: the rows the compile read (the stations' rows are found among them by
// position), or nullptr for a scenario read from its binary files: no place then.
std::vector<reperto> reperti_orario(const corsa_minima& c, const righe_lette* righe, double margine_minimo);

// A compile whose track can be timed: it went as far as the files (no final error), made
// cells, and no reader stopped on an error (the track past it would hold no limits). The
// timetable command, the page and the language server all ask this.
bool corsa_calcolabile(const Stato& s, const esito_compilazione& esito);

// The run of a compile: the fastest one when it can be timed, else its assumptions alone.
corsa_minima corsa_della_compilazione(const Stato& s, const esito_compilazione& esito, const ipotesi_corsa& ipotesi);

// The station row of a station, among the rows read; nullptr when there is none.
const riga_sorgente* riga_della_stazione(const righe_lette& righe, const stazione_corsa& s);

}  // namespace cmp
