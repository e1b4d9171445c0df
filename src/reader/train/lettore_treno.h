#pragma once
#include <string_view>

#include "model/stato.h"
#include "reader/line/lettore_linea.h"

namespace cmp {

// The second half of `memorizza_dati`: compiles the train description text
// (Windows-1252 bytes) into the track and `scenario`, on the track the line left.
esito_lettura leggi_descrizione_treno(Stato& s, std::string_view testo);

}  // namespace cmp
