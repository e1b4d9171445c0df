#include "reader/train/memorizza_dati.h"

#include <optional>
#include <string>

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

// A description text that exists but cannot be read is a reading failure like any other.
std::optional<std::string> apri(Stato& s, Cartella& cartella, const std::string& nome, testo_descrizione quale) {
  try {
    if (auto testo = cartella.leggi(nome)) return testo;
    s.dettaglio_errore = "the text does not exist";
  } catch (const ErroreFile& e) {
    s.dettaglio_errore = "the text cannot be read: " + e.motivo();
  }
  s.luogo_errore = {quale, 0, 0};
  return std::nullopt;
}

}  // namespace

void memorizza_dati(Stato& s, Cartella& cartella) {
  // The check codes are computed from these two texts.
  testo_nome_linea(s.scenario) = s.nome_linea;
  testo_numero_treno(s.scenario) = s.numero_treno;

  if (!cartella.esiste(nome_descrizione_linea(s))) {
    s.codice_errore = 101;
    return;
  }
  const auto linea = apri(s, cartella, nome_descrizione_linea(s), testo_descrizione::linea);
  if (!linea) return fallimento_comune(s, cartella);
  const esito_lettura esito_linea = leggi_descrizione_linea(s, *linea);
  cartella.elimina(nome_descrizione_linea(s));
  if (esito_linea == esito_lettura::fallita) return fallimento_comune(s, cartella);
  if (esito_linea == esito_lettura::interrotta) return;

  const auto treno = apri(s, cartella, nome_descrizione_treno(s), testo_descrizione::treno);
  if (!treno) return fallimento_comune(s, cartella);
  const esito_lettura esito_treno = leggi_descrizione_treno(s, *treno);
  cartella.elimina(nome_descrizione_treno(s));
  if (esito_treno == esito_lettura::fallita) fallimento_comune(s, cartella);
}

}  // namespace cmp
