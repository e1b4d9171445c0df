#pragma once
#include <string_view>

#include "model/stato.h"

namespace cmp {

// How a description reader ended.
enum class esito_lettura {
  completa,    // read to its end (or stopped by error 15): the caller goes on
  interrotta,  // stopped by an error of its own; the caller returns
  fallita,     // reading failure, error 25: the caller deletes both description texts
};

// The first half of `memorizza_dati`: compiles the line description text (Windows-1252
// bytes) into the track, the plan table and the line entries of `scenario`.
esito_lettura leggi_descrizione_linea(Stato& s, std::string_view testo);

}  // namespace cmp
