#include "lsp/diagnosi.h"

#include <map>
#include <utility>

#include "comandi/descrizioni_utente.h"
#include "comandi/diagnostica.h"
#include "compilazione/compila.h"
#include "lsp/analisi_testo.h"
#include "model/cp1252.h"

namespace cmp {
namespace {

testo_descrizione testo_del_luogo(const errore_lettura& e) {
  // The compile command's rule, by name: the file it names tells which text.
  return file_del_luogo(e, "linea", "treno") == "linea" ? testo_descrizione::linea : testo_descrizione::treno;
}

// A warning of the finishing pass names a position: the signal or slow-order row there
// (the first one, when several stand at the same position). The text is read once.
class RigheAvvisi {
 public:
  explicit RigheAvvisi(const std::string& testo_treno) : testo_(testo_treno) {}

  void colloca(diagnostica_testo& d, std::int32_t posizione) {
    if (!letto_) {
      for (const auto& r : analizza_testo(testo_, formato_descrizione::treno)) {
        if (!r.parola || r.campi.empty()) continue;
        if (r.parola->parola != "segnale" && r.parola->parola != "rallentamento") continue;
        riga_di_.emplace(r.campi[0].testo, std::pair{r.numero + 1, r.chiave.inizio + 1});
      }
      letto_ = true;
    }
    const auto it = riga_di_.find(std::to_string(posizione));
    if (it == riga_di_.end()) return;
    d.riga = it->second.first;
    d.colonna = it->second.second;
  }

 private:
  const std::string& testo_;
  bool letto_ = false;
  std::map<std::string, std::pair<int, int>> riga_di_;  // first field -> line, column (from 1)
};

}  // namespace

esito_diagnosi diagnosi_documenti(const std::string& testo_linea, const std::string& testo_treno,
                                  const nomi_scenario& nomi) {
  auto s = std::make_shared<Stato>();
  const esito_compilazione compilato =
      compila_descrizioni(*s, testo_linea, testo_treno, identita_scenario{nomi.nome_linea, nomi.numero_treno}, true);

  esito_diagnosi esito;
  const errore_lettura& l = compilato.lettura;
  if (l.codice != 0) {
    diagnostica_testo e;
    e.testo = testo_del_luogo(l);
    e.riga = l.dove.riga;
    e.colonna = l.dove.colonna;
    e.numero = l.codice;
    e.messaggio = da_cp1252(descrivi_lettura(*s, compilato));
    esito.diagnostiche.push_back(std::move(e));
  }
  RigheAvvisi righe(testo_treno);
  const IndiceAvvisi indice(*s, compilato);
  for (const auto& a : compilato.avvisi) {
    diagnostica_testo w;
    w.testo = testo_descrizione::treno;
    w.numero = a.codice;
    w.messaggio = da_cp1252(descrivi_avviso(*s, indice, a));
    w.livello = gravita::avviso;
    righe.colloca(w, a.posizione);
    esito.diagnostiche.push_back(std::move(w));
  }
  if (!compilato.scrivibile()) {
    diagnostica_testo f;
    f.testo = testo_descrizione::treno;
    f.numero = numero_finale(compilato.finale);
    f.messaggio = "a reserved slot of the scenario is already in use (entry 85 or cell 1): no binary file would be written";
    esito.diagnostiche.push_back(std::move(f));
  }
  esito.stato = std::move(s);
  return esito;
}

}  // namespace cmp
