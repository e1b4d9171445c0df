#include "lsp/diagnosi.h"

#include <utility>

#include "compilazione/compila.h"
#include "descrizioni/reperti.h"
#include "descrizioni/reperti_orario.h"
#include "model/cp1252.h"

namespace cmp {
namespace {

// The check over the texts and the timetable check write UTF-8; the others quote the
// text's own Windows-1252 bytes.
std::string messaggio_utf8(const reperto& r) {
  const bool gia_utf8 = r.genere == genere_reperto::testo || r.genere == genere_reperto::orario;
  return gia_utf8 ? r.messaggio : da_cp1252(r.messaggio);
}

diagnostica_testo diagnostica_di(const reperto& r) {
  diagnostica_testo d;
  d.testo = r.testo;
  d.riga = r.riga;
  d.colonna = r.colonna;
  d.numero = r.numero;
  d.messaggio = messaggio_utf8(r);
  d.livello = r.errore ? gravita::errore : gravita::avviso;
  return d;
}

}  // namespace

esito_diagnosi diagnosi_documenti(const std::string& testo_linea, const std::string& testo_treno,
                                  const nomi_scenario& nomi, const opzioni_orario& orario) {
  auto s = std::make_shared<Stato>();
  const analisi_descrizioni analisi =
      analizza_descrizioni(*s, testo_linea, testo_treno, identita_scenario{nomi.nome_linea, nomi.numero_treno}, true);

  // The findings as compile prints them, each where compile puts it.
  esito_diagnosi esito;
  for (const auto& r : analisi.reperti) esito.diagnostiche.push_back(diagnostica_di(r));

  // The timetable check, as the timetable command gives it, at the station rows.
  if (corsa_calcolabile(*s, analisi.esito)) {
    auto corsa = std::make_shared<corsa_minima>(calcola_corsa_minima(s->percorso, s->scenario, orario.ipotesi));
    for (const auto& r : reperti_orario(*corsa, &analisi.esito.righe, orario.margine_minimo)) {
      esito.diagnostiche.push_back(diagnostica_di(r));
    }
    esito.corsa = std::move(corsa);
  }
  esito.stato = std::move(s);
  return esito;
}

}  // namespace cmp
