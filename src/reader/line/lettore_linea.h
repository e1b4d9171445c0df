#pragma once
#include <string_view>

#include "model/stato.h"
#include "reader/comune/righe_lette.h"

namespace cmp {

// How a description reader ended.
enum class esito_lettura {
  completa,    // read to its end (or stopped by error 15): the caller goes on
  interrotta,  // stopped by an error of its own; the caller returns
  fallita,     // reading failure, error 25: the caller deletes both description texts
};

// The first reader of the compile: compiles the line description text (Windows-1252
// bytes) into the track, the plan table and the line entries of `scenario`. Never touches
// a file and never throws for a bad text: it records the error number (errori_linea.h),
// its position where one goes with it, the line and column of the row's keyword field
// (of the unreadable field for a read that fails) and, for 25, the reason. Expects
// `codice_errore` at 0, as the compile step leaves it. Each row taken is appended to
// `righe` when given.
esito_lettura leggi_descrizione_linea(Stato& s, std::string_view testo, righe_lette* righe = nullptr);

}  // namespace cmp
