#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/stato.h"

namespace cmp {

// One row a reader took: which text, its keyword, the keyword field's line and column,
// its position in metres (0 for rows of the general section without one) and its name
// (a caption or a station name; empty otherwise). Lets a page or an editor link the
// compiled objects back to their source rows; not part of any file.
struct riga_sorgente {
  testo_descrizione testo = testo_descrizione::nessuno;
  std::string_view chiave;  // one of the readers' keyword literals ("pendenza", "segnale", ...)
  int riga = 0;
  int colonna = 0;
  std::int32_t posizione = 0;
  std::string nome;
};

using righe_lette = std::vector<riga_sorgente>;

}  // namespace cmp
