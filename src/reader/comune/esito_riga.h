#pragma once
#include <cstdint>

#include "errori/catalogo_errori.h"
#include "model/stato.h"

namespace cmp {

// What a reader does after a row.
enum class esito_riga {
  continua,    // next keyword field
  fine_testo,  // error 15: the rows stop, the end-of-text work still runs
  interrompi,  // any other stop: the reader ends at once
};

// The skeleton of every row that has a position: when the position (plus the margin of
// its kind) lies beyond the last cell the row changes nothing, 15 is recorded at the row
// with the position, and the reader goes to the end of its text.
inline esito_riga fine_per_posizione(Stato& s, std::int32_t posizione, const luogo& riga) {
  s.codice_errore = errori::posizione_oltre;
  s.luogo_errore = riga;
  s.posizione_errore = posizione;
  return esito_riga::fine_testo;
}

}  // namespace cmp
