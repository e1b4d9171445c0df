#pragma once
#include <cstdint>
#include <string_view>

#include "model/stato.h"
#include "reader/comune/esito_lettura.h"
#include "reader/comune/righe_lette.h"

namespace cmp {

// The second reader of the compile: compiles the train description text
// (Windows-1252 bytes) into the track and `scenario`, on the track the line left.
// Returns `completa` after a normal end or error 15, `interrotta` after any other
// stop, `fallita` after a reading failure (error 25). The caller deletes the text.
// Each row taken is appended to `righe` when given.
esito_lettura leggi_descrizione_treno(Stato& s, std::string_view testo, righe_lette* righe = nullptr);

}  // namespace cmp
