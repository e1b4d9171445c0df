#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/cartella.h"
#include "model/stato.h"

namespace cmp {

// A reserved slot found already in use: the run must show " Errore n. " and the number
// and end without writing any binary file.
struct ErroreFinale {
  std::string numero;  // "1250" or "1251"
};

// True when the reader left a track that can take the fixed values of cell 1.
bool ha_percorso(const Stato& s);

// Reset, read both descriptions, then completa_percorso. Throws ErroreFinale.
void compila_scenario(Stato& s, Cartella& cartella, std::int32_t j);

// What follows the reader: the finishing pass, the guard of the reserved slots (1250,
// then 610 and 5121, then 1251) and the check codes. Nothing at all without a track.
// Throws ErroreFinale.
void completa_percorso(Stato& s);

// The binary files, in order: the line table (only when `crea_tabella_linea` is
// non-zero), the scenario table, the track, handed to the folder together (a folder on
// disk replaces them as one). The line table is encoded while the folder writes it, so
// `s` must still be there then (until a ScrittureInsieme's `conferma`). Nothing at all
// when there is no track. Returns the names written.
std::vector<std::string> scrivi_file_binari(const Stato& s, Cartella& cartella);

// The whole compile-and-write step: compila_scenario, then scrivi_file_binari.
void memorizza_percorso(Stato& s, Cartella& cartella, std::int32_t j);

}  // namespace cmp
