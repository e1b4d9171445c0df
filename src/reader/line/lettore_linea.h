#pragma once
#include <string_view>

#include "model/stato.h"
#include "reader/comune/esito_lettura.h"
#include "reader/comune/righe_lette.h"

namespace cmp {

// The first reader of the compile: compiles the line description text (Windows-1252
// bytes) into the track, the plan table and the line entries of `scenario`. Never touches
// a file and never throws for a bad text: it records the error number (from the
// catalogue, errori/catalogo_errori.h), its position where one goes with it, the line and
// column of the row's keyword field (of the unreadable field for a read that fails) and,
// for 25, the reason. Expects `codice_errore` at 0, as the compile step leaves it. Each
// row taken is appended to `righe` when given.
esito_lettura leggi_descrizione_linea(Stato& s, std::string_view testo, righe_lette* righe = nullptr);

}  // namespace cmp
