#include "reader/train/memorizza_dati.h"

#include "model/nomi_file.h"
#include "reader/line/lettore_linea.h"
#include "reader/train/lettore_treno.h"

namespace cmp {
namespace {

// The common failure path: both description texts go, whichever still exist.
void fallimento_comune(Stato& s, Cartella& cartella) {
  cartella.elimina(nome_descrizione_linea(s));
  cartella.elimina(nome_descrizione_treno(s));
  s.codice_errore = 25;
}

}  // namespace

void memorizza_dati(Stato& s, Cartella& cartella) {
  // The check codes are computed from these two texts.
  s.scenario[85].testo = s.nome_linea;
  s.scenario[86].testo = s.numero_treno;

  const auto linea = cartella.leggi(nome_descrizione_linea(s));
  if (!linea) {
    s.codice_errore = 101;
    return;
  }
  const esito_lettura esito_linea = leggi_descrizione_linea(s, *linea);
  cartella.elimina(nome_descrizione_linea(s));
  if (esito_linea == esito_lettura::fallita) return fallimento_comune(s, cartella);
  if (esito_linea == esito_lettura::interrotta) return;

  const auto treno = cartella.leggi(nome_descrizione_treno(s));
  if (!treno) {
    s.dettaglio_errore = "the train description text cannot be opened";
    s.luogo_errore = {testo_descrizione::treno, 0, 0};
    return fallimento_comune(s, cartella);
  }
  const esito_lettura esito_treno = leggi_descrizione_treno(s, *treno);
  cartella.elimina(nome_descrizione_treno(s));
  if (esito_treno == esito_lettura::fallita) fallimento_comune(s, cartella);
}

}  // namespace cmp
