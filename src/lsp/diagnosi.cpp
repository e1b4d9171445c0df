#include "lsp/diagnosi.h"

#include <utility>

#include "descrizioni/reperti.h"
#include "compilazione/compila.h"
#include "model/cp1252.h"

namespace cmp {

esito_diagnosi diagnosi_documenti(const std::string& testo_linea, const std::string& testo_treno,
                                  const nomi_scenario& nomi) {
  auto s = std::make_shared<Stato>();
  const analisi_descrizioni analisi =
      analizza_descrizioni(*s, testo_linea, testo_treno, identita_scenario{nomi.nome_linea, nomi.numero_treno}, true);

  // The findings as compile prints them, each where compile puts it.
  esito_diagnosi esito;
  for (const auto& r : analisi.reperti) {
    diagnostica_testo d;
    d.testo = r.testo;
    d.riga = r.riga;
    d.colonna = r.colonna;
    d.numero = r.numero;
    d.messaggio = r.genere == genere_reperto::testo ? r.messaggio : da_cp1252(r.messaggio);
    d.livello = r.errore ? gravita::errore : gravita::avviso;
    esito.diagnostiche.push_back(std::move(d));
  }
  esito.stato = std::move(s);
  return esito;
}

}  // namespace cmp
