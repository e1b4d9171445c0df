#pragma once
#include <cstdint>
#include <string>

#include "model/cartella.h"
#include "model/stato.h"

namespace cmp {

// A reserved slot found already in use: the run must show " Errore n. " and the number
// and end without writing any binary file.
struct ErroreFinale {
  std::string numero;  // "1250" or "1251"
};

// Reset, read both descriptions, finish the track, guard the reserved slots, store the
// fixed values and the check codes. Throws ErroreFinale.
void compila_scenario(Stato& s, Cartella& cartella, std::int32_t j);

// The binary files, in order: the line table (only when `crea_tabella_linea` is
// non-zero), the scenario table, the track. Nothing at all when there is no track.
// Returns the names written.
std::vector<std::string> scrivi_file_binari(const Stato& s, Cartella& cartella);

// The whole compile-and-write step: compila_scenario, then scrivi_file_binari.
void memorizza_percorso(Stato& s, Cartella& cartella, std::int32_t j);

}  // namespace cmp
