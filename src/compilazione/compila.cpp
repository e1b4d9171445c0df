#include "compilazione/compila.h"

#include "errori/catalogo_errori.h"
#include "finish/codici_controllo.h"
#include "finish/finitura.h"
#include "model/limiti_formato.h"
#include "reader/line/lettore_linea.h"
#include "reader/train/lettore_treno.h"

namespace cmp {
namespace {

constexpr std::int16_t kValoreFissoScenario = limiti_file::valore_fisso_scenario;
constexpr std::int16_t kValoreFissoPercorso = limiti_file::valore_fisso_percorso;

// The slots the fixed values and the check codes go into must still be empty.
errore_finale custodisci_posti_riservati(Stato& s) {
  if (valore_fisso_scenario(s.scenario) != 0 || s.percorso[1].parametro1 != 0) return errore_finale::posto_scenario;
  valore_fisso_scenario(s.scenario) = kValoreFissoScenario;
  s.percorso[1].parametro1 = kValoreFissoPercorso;
  if (codice_controllo_scenario(s.scenario) != 0 || s.percorso[1].parametro2 != 0) return errore_finale::posto_percorso;
  return errore_finale::nessuno;
}

// Everything a previous compile into the same state may have left.
void azzera(Stato& s) {
  s.codice_errore = 0;
  s.posizione_errore = 0;
  s.luogo_errore = {};
  s.dettaglio_errore.clear();
  s.avvisi.clear();
  s.percorso.clear();
  s.tabella_linea.svuota();
  for (auto& voce : s.scenario) voce = voce_scenario{};
}

// A text that did not arrive: 25 at the text itself, with the reason.
void non_arrivato(Stato& s, const testo_in_arrivo& t, testo_descrizione quale) {
  s.dettaglio_errore =
      t.come == testo_in_arrivo::stato::assente ? "the text does not exist" : "the text cannot be read: " + t.motivo;
  s.luogo_errore = {quale, 0, 0};
  s.codice_errore = errori::lettura;
}

// The line reader; true when the train text is to be read after it (the line was read to
// its end).
bool leggi_linea(Stato& s, const testo_in_arrivo& linea, esito_compilazione& e) {
  if (linea.come == testo_in_arrivo::stato::assente) {
    s.codice_errore = errori::testo_mancante;
    return false;
  }
  if (linea.come == testo_in_arrivo::stato::illeggibile) {
    e.treno_letto = true;  // the common failure path: both texts are done with
    non_arrivato(s, linea, testo_descrizione::linea);
    return false;
  }
  const esito_lettura esito_linea = leggi_descrizione_linea(s, linea.testo, &e.righe);
  if (esito_linea == esito_lettura::fallita) {
    e.treno_letto = true;
    return false;
  }
  return esito_linea != esito_lettura::interrotta;
}

void leggi_treno(Stato& s, const testo_in_arrivo& treno, esito_compilazione& e) {
  e.treno_letto = true;
  if (treno.come != testo_in_arrivo::stato::presente) return non_arrivato(s, treno, testo_descrizione::treno);
  leggi_descrizione_treno(s, treno.testo, &e.righe);
}

// The two readers in order; the train text is read only when the line reader read to its end.
void leggi_entrambe(Stato& s, const testo_in_arrivo& linea, const testo_in_arrivo& treno, esito_compilazione& e) {
  if (leggi_linea(s, linea, e)) leggi_treno(s, treno, e);
}

void prepara(Stato& s, const identita_scenario& identita, bool con_piano) {
  s.nome_linea = identita.nome_linea;
  s.numero_treno = identita.numero_treno;
  s.crea_tabella_linea = con_piano;
  azzera(s);
}

// What the readers left, then the finishing pass.
void completa(Stato& s, esito_compilazione& e) {
  e.lettura = {s.codice_errore, s.posizione_errore, s.luogo_errore, s.dettaglio_errore};
  e.finale = completa_percorso(s);
  e.avvisi = s.avvisi;
}

}  // namespace

// A track too short to have a cell 1 (a negative line length) cannot take the fixed
// values either: it counts as no track.
bool ha_percorso(const Stato& s) { return s.percorso.size() > 1; }

esito_compilazione leggi_descrizioni(Stato& s, const testo_in_arrivo& linea, const testo_in_arrivo& treno) {
  // The check codes are computed from these two texts.
  testo_nome_linea(s.scenario) = s.nome_linea;
  testo_numero_treno(s.scenario) = s.numero_treno;
  esito_compilazione e;
  leggi_entrambe(s, linea, treno, e);
  e.lettura = {s.codice_errore, s.posizione_errore, s.luogo_errore, s.dettaglio_errore};
  return e;
}

errore_finale completa_percorso(Stato& s) {
  if (!ha_percorso(s)) return errore_finale::nessuno;  // nothing to finish, and nothing will be written
  passata_finitura(s);
  if (const errore_finale f = custodisci_posti_riservati(s); f != errore_finale::nessuno) return f;
  codice_controllo_scenario(s.scenario) = codice_gara_st(s);
  s.percorso[1].parametro2 = codice_gara_og(s);
  return errore_finale::nessuno;
}

esito_compilazione compila_testi(Stato& s, const testo_in_arrivo& linea, const testo_in_arrivo& treno,
                                 const identita_scenario& identita, bool con_piano) {
  prepara(s, identita, con_piano);
  esito_compilazione e = leggi_descrizioni(s, linea, treno);
  completa(s, e);
  return e;
}

linea_compilata compila_linea(Stato& s, std::string_view linea, const identita_scenario& identita, bool con_piano) {
  prepara(s, identita, con_piano);
  testo_nome_linea(s.scenario) = s.nome_linea;
  testo_numero_treno(s.scenario) = s.numero_treno;
  linea_compilata l;
  l.treno_da_leggere = leggi_linea(s, testo_in_arrivo::di(linea), l.esito);
  return l;
}

esito_compilazione compila_treno(Stato& s, const linea_compilata& linea, std::string_view treno) {
  esito_compilazione e = linea.esito;
  if (linea.treno_da_leggere) leggi_treno(s, testo_in_arrivo::di(treno), e);
  completa(s, e);
  return e;
}

esito_compilazione compila_descrizioni(Stato& s, std::string_view linea, std::string_view treno,
                                       const identita_scenario& identita, bool con_piano) {
  return compila_testi(s, testo_in_arrivo::di(linea), testo_in_arrivo::di(treno), identita, con_piano);
}

}  // namespace cmp
