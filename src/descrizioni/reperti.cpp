#include "descrizioni/reperti.h"

#include <algorithm>

#include "descrizioni/avvisi_testo.h"
#include "descrizioni/diagnostica.h"
#include "descrizioni/sviste_testo.h"
#include "errori/catalogo_errori.h"

namespace cmp {
namespace {

// The text a readers' error belongs to: the one its place names, else the one the
// catalogue gives its number (an error without a place, such as 101).
testo_descrizione testo_della_lettura(const errore_lettura& e) {
  if (e.dove.testo != testo_descrizione::nessuno) return e.dove.testo;
  const voce_errore* v = voce_di(e.codice);
  return v != nullptr && v->testo == testo_errore::linea ? testo_descrizione::linea : testo_descrizione::treno;
}

void alla_riga(reperto& r, const riga_sorgente* sorgente) {
  r.sorgente = sorgente;
  if (sorgente == nullptr) return;
  r.testo = sorgente->testo;
  r.riga = sorgente->riga;
  r.colonna = sorgente->colonna;
}

// The check's warnings of one text, in the order of its lines: what the readers skip, then
// the slips they take in silence (not looked for in a text that holds no row of its kind);
// the row a warning stands on is the row read at its line, when the reader took one there.
void aggiungi_controllo(std::vector<reperto>& out, const esito_compilazione& esito, std::string_view testo,
                        formato_descrizione formato, const std::vector<svista_di_riga>& delle_righe) {
  const testo_descrizione quale =
      formato == formato_descrizione::linea ? testo_descrizione::linea : testo_descrizione::treno;
  std::vector<avviso_testo> avvisi = controlla_testo(testo, formato);
  const bool nessuna_riga =
      std::any_of(avvisi.begin(), avvisi.end(), [](const avviso_testo& a) { return a.codice == errori::nessuna_riga; });
  if (!nessuna_riga) {
    for (auto& a : sviste_del_testo(testo, formato)) avvisi.push_back(std::move(a));
    for (const auto& a : delle_righe) {
      if (a.testo == quale) avvisi.push_back(a.avviso);
    }
    std::stable_sort(avvisi.begin(), avvisi.end(), [](const avviso_testo& a, const avviso_testo& b) {
      return std::pair{a.riga, a.colonna} < std::pair{b.riga, b.colonna};
    });
  }
  for (auto& a : avvisi) {
    reperto r;
    r.genere = genere_reperto::testo;
    r.numero = a.codice;
    r.testo = quale;
    r.riga = a.riga;
    r.colonna = a.colonna;
    r.sorgente = riga_in(esito, luogo{quale, a.riga, a.colonna});
    r.messaggio = std::move(a.messaggio);
    out.push_back(std::move(r));
  }
}

std::optional<nota_reperto> nota_della_linea(const Stato& s, const esito_compilazione& esito) {
  if (!esito.lettura_linea) return std::nullopt;
  const errore_lettura& l = *esito.lettura_linea;
  nota_reperto n;
  n.numero = l.codice;
  n.posizione = l.posizione;
  n.testo = testo_della_lettura(l);
  n.riga = l.dove.riga;
  n.colonna = l.dove.colonna;
  n.messaggio = "before the train's error, the line recorded error " + std::to_string(l.codice) + ": " +
                descrivi_lettura(s, esito, l);
  return n;
}

}  // namespace

std::vector<reperto> reperti_compilazione(const Stato& s, const esito_compilazione& esito, std::string_view testo_linea,
                                          std::string_view testo_treno) {
  std::vector<reperto> out;
  const auto delle_righe = sviste_delle_righe(esito, lunghezza_linea(s.scenario));
  aggiungi_controllo(out, esito, testo_linea, formato_descrizione::linea, delle_righe);
  aggiungi_controllo(out, esito, testo_treno, formato_descrizione::treno, delle_righe);

  const errore_lettura& e = esito.lettura;
  if (e.codice != 0) {
    reperto r;
    r.genere = genere_reperto::lettura;
    r.numero = e.codice;
    r.errore = true;
    r.testo = testo_della_lettura(e);
    r.riga = e.dove.riga;
    r.colonna = e.dove.colonna;
    r.sorgente = riga_in(esito, e.dove);
    if (e.posizione != 0) r.posizione = e.posizione;
    r.messaggio = descrivi_lettura(s, esito);
    r.nota = nota_della_linea(s, esito);
    out.push_back(std::move(r));
  }
  if (!esito.scrivibile()) {
    reperto r;
    r.genere = genere_reperto::finale;
    r.numero = numero_finale(esito.finale);
    r.errore = true;
    r.testo = testo_descrizione::treno;
    if (const riga_sorgente* occupa = riga_del_posto_occupato(esito)) {
      alla_riga(r, occupa);
      r.posizione = occupa->posizione;
      r.messaggio = messaggio_posto_occupato(*occupa, esito.finale);
    } else {
      r.messaggio = "a reserved slot of the scenario is already in use (entry 85 or cell 1): no binary file is written";
    }
    out.push_back(std::move(r));
  }
  const IndiceAvvisi indice(s, esito);
  for (const auto& a : esito.avvisi) {
    reperto r;
    r.genere = genere_reperto::finitura;
    r.numero = a.codice;
    r.testo = testo_descrizione::treno;
    r.posizione = a.posizione;
    alla_riga(r, indice.riga(a));
    r.messaggio = descrivi_avviso(s, indice, a);
    out.push_back(std::move(r));
  }
  return out;
}

bool analisi_descrizioni::con_avvisi_testo() const {
  return std::any_of(reperti.begin(), reperti.end(),
                     [](const reperto& r) { return r.genere == genere_reperto::testo; });
}

analisi_descrizioni analizza_descrizioni(Stato& s, std::string_view testo_linea, std::string_view testo_treno,
                                         const identita_scenario& identita, bool con_piano) {
  analisi_descrizioni out;
  out.esito = compila_descrizioni(s, testo_linea, testo_treno, identita, con_piano);
  out.reperti = reperti_compilazione(s, out.esito, testo_linea, testo_treno);
  return out;
}

}  // namespace cmp
