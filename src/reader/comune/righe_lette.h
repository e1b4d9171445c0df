#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/stato.h"

namespace cmp {

// One row a reader took: which text, its keyword, the keyword field's line and column,
// its position in metres (0 for rows of the general section without one), its name
// (a caption or a station name; empty otherwise), the keyword field as written and every
// whole number the row read, in order. Lets a page or an editor link the compiled objects
// back to their source rows and show what they said; not part of any file.
struct riga_sorgente {
  testo_descrizione testo = testo_descrizione::nessuno;
  std::string_view chiave;  // one of the readers' keyword literals ("pendenza", "segnale", ...)
  int riga = 0;
  int colonna = 0;
  std::int32_t posizione = 0;
  std::string nome;
  std::string campo;                 // Windows-1252, as written ("curvad4", "SEGNALE")
  std::vector<std::int32_t> numeri;  // as read, also past a failure or a stop within the row
};

using righe_lette = std::vector<riga_sorgente>;

}  // namespace cmp
