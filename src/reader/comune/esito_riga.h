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

// Records a number of a text at the row `riga`, with or without a position.
inline void registra_errore(Stato& s, std::int32_t codice, const luogo& riga) {
  s.codice_errore = codice;
  s.luogo_errore = riga;
}

inline void registra_errore(Stato& s, std::int32_t codice, const luogo& riga, std::int32_t posizione) {
  registra_errore(s, codice, riga);
  s.posizione_errore = posizione;
}

// After a row whose work records its refusal in `codice_errore`: any number recorded so
// far stops the reading (in the train text, also one the line reader left), and the
// position becomes the row's. `gia_presente` says whether the number was there before the
// row; its text location then stays where it was.
inline esito_riga dopo_memo(Stato& s, std::int32_t posizione, const luogo& riga, bool gia_presente = false) {
  if (s.codice_errore <= 0) return esito_riga::continua;
  s.posizione_errore = posizione;
  if (!gia_presente) s.luogo_errore = riga;
  return esito_riga::interrompi;
}

// The skeleton of every row that has a position: when the position (plus the margin of
// its kind) lies beyond the last cell the row changes nothing, 15 is recorded at the row
// with the position, and the reader goes to the end of its text.
inline esito_riga fine_per_posizione(Stato& s, std::int32_t posizione, const luogo& riga) {
  registra_errore(s, errori::posizione_oltre, riga, posizione);
  return esito_riga::fine_testo;
}

}  // namespace cmp
