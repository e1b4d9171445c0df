#include "reader/line/lettore_linea.h"

namespace cmp {

esito_lettura leggi_descrizione_linea(Stato& s, std::string_view /*testo*/) {
  // The line reader comes with its own change; until then every text lacks "[generale]".
  s.codice_errore = 102;
  return esito_lettura::interrotta;
}

}  // namespace cmp
