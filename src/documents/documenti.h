#pragma once
#include <string>
#include <vector>

#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

// The three crew documents of the built-in train. The `righe_*` functions give the lines
// of each document as UTF-8 text (the text writer turns them into Windows-1252 with
// CR LF); the `dati_*` writers put them in the folder as
// <nome_linea>_<numero_treno>_<suffix>, replacing any older file whole.

inline constexpr const char* kSuffissoScheda = "scheda_treno.txt";
inline constexpr const char* kSuffissoRallentamenti = "rallentamenti.txt";
inline constexpr const char* kSuffissoNote = "note.txt";

std::vector<std::string> righe_scheda(const Stato& s);
std::vector<std::string> righe_rallentamenti(const Stato& s);
std::vector<std::string> righe_note(const Stato& s);

void dati_scheda(const Stato& s, Cartella& cartella);
void dati_rallentamenti(const Stato& s, Cartella& cartella);
void dati_note(const Stato& s, Cartella& cartella);

}  // namespace cmp
