#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "disco/cartella.h"

namespace cmp {

// The line table every text file of the system is written from: 1001 slots, the lines
// from slot 0 without gaps, the end marker in the slot after the last line.
inline constexpr std::size_t kSlotTabellaRighe = 1001;
inline constexpr std::string_view kMarcaFine = "riferimento fine del file";

using TabellaRighe = std::array<std::string, kSlotTabellaRighe>;

// Fills a line table with these lines (UTF-8) and the end marker after them.
// More than 1000 lines do not fit: std::length_error.
TabellaRighe tabella_righe(const std::vector<std::string>& righe);

// The bytes of the text file: slot after slot, each converted to Windows-1252 and
// followed by CR LF, up to the slot that holds exactly the end marker (not written).
std::string testo_da_tabella(const TabellaRighe& tabella);

// Writes the table as the file `nome` of the folder, replacing any older file whole.
void scrivi_tabella(Cartella& cartella, const std::string& nome, const TabellaRighe& tabella);

}  // namespace cmp
