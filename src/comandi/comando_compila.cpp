// compattatore compile: the user's two description texts, compiled with the same reader,
// finishing pass and writers as the built-in run. Inputs are only ever read.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "disco/cartella_disco.h"
#include "descrizioni/avvisi_testo.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/stampa_diagnostica.h"
#include "comandi/cartelle_comando.h"
#include "comandi/nuclei.h"
#include "descrizioni/diagnostica.h"
#include "finestra/errore.h"
#include "messaggi/json.h"
#include "comandi/opzioni_lette.h"
#include "messaggi/messaggi.h"
#include "messaggi/scrivi_flusso.h"
#include "errori/stati_uscita.h"
#include "comandi/tabella_comandi.h"
#include "messaggi/uscita_standard.h"
#include "compilazione/compila.h"
#include "compilazione/scrivi_file.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"
#include "model/testo_visibile.h"

namespace cmp {
namespace {

// `scritti`: the UTF-8 names of the files written. `avvisi` holds the warnings printed on
// standard error, in their order; `avvisi_omessi` counts those left out.
std::string json_esito(const Stato& s, const analisi_descrizioni& a, std::size_t omessi,
                       const std::vector<std::string>& scritti, const std::string& linea, const std::string& treno,
                       int stato) {
  const esito_compilazione& e = a.esito;
  std::string j = "{\"stato\": " + std::to_string(stato) + ", \"codice_errore\": " + std::to_string(s.codice_errore) +
                  ", \"posizione_errore\": " + std::to_string(s.posizione_errore) + ", \"errore_finale\": " +
                  (e.scrivibile() ? std::string("null") : std::to_string(numero_finale(e.finale)));
  const auto mostrati = reperti_mostrati(a.reperti);
  const reperto* errore = nullptr;  // the readers' error, else the reserved slot's row
  for (const reperto* r : mostrati) {
    if (r->genere == genere_reperto::lettura || (r->genere == genere_reperto::finale && r->riga > 0)) {
      errore = r;
      break;
    }
  }
  if (errore) {
    j += ", \"file\": " + json_testo(file_del_reperto(*errore, linea, treno));
    j += ", \"riga\": " + (errore->riga > 0 ? std::to_string(errore->riga) : "null");
    j += ", \"colonna\": " + (errore->riga > 0 ? std::to_string(errore->colonna) : "null");
    j += ", \"messaggio\": " + json_testo(errore->messaggio);
  } else {
    j += ", \"file\": null, \"riga\": null, \"colonna\": null, \"messaggio\": null";
  }
  // The line's own error when the train's replaced it, shown as a note under it.
  j += ", \"errore_linea\": ";
  if (errore != nullptr && errore->nota) {
    const nota_reperto& n = *errore->nota;
    j += "{\"codice\": " + std::to_string(n.numero) + ", \"posizione\": " + std::to_string(n.posizione) +
         ", \"file\": " + json_testo(n.testo == testo_descrizione::linea ? linea : treno) +
         ", \"riga\": " + (n.riga > 0 ? std::to_string(n.riga) : "null") +
         ", \"colonna\": " + (n.riga > 0 ? std::to_string(n.colonna) : "null") +
         ", \"messaggio\": " + json_testo(n.messaggio) + "}";
  } else {
    j += "null";
  }
  // The warnings in the order standard error shows them.
  j += ", \"avvisi\": [";
  bool prima_voce = true;
  for (const reperto* r : mostrati) {
    if (r->errore) continue;
    j += (prima_voce ? "" : ", ") + json_avviso(*r, linea, treno);
    prima_voce = false;
  }
  j += "], \"avvisi_omessi\": " + std::to_string(omessi) + ", \"scritti\": [";
  for (std::size_t i = 0; i < scritti.size(); ++i) j += (i ? ", " : "") + json_testo(scritti[i]);
  j += "]}";
  return j;
}

}  // namespace

int compila_in(const opzioni_lette& o, Cartella& ingressi, Cartella& destinazione) {
  const bool json = o.ha("--json");
  rifiuto r;
  const auto rifiutato = [&] {
    if (json) stampa_uscita(json_rifiuto(r.messaggio, r.file) + "\n");
    return kUscitaUso;
  };
  auto d = leggi_descrizioni_utente(o, "compile", ingressi, &r);
  if (!d) return rifiutato();
  const auto codifica = codifica_scelta(o, "compile", &r);
  if (!codifica || !converti_descrizioni(*d, *codifica, &r)) return rifiutato();
  const std::string& linea = d->linea;
  const std::string& treno = d->treno;
  if (!cartella_uscita_pronta(destinazione, &r)) return rifiutato();

  Stato s;
  const identita_scenario identita = identita_di(*d);
  s.nome_linea = identita.nome_linea;
  s.numero_treno = identita.numero_treno;
  for (const auto& nome :
       {nome_file_tabella_linea(identita), nome_file_scenario(identita), nome_file_percorso(identita)}) {
    if (sovrascrive(destinazione.percorso_di(nome), {linea, treno})) {
      rifiuta(&r, "compile: refusing to write " + destinazione.percorso_di(nome) + ": it is one of the input files",
              destinazione.percorso_di(nome));
      return rifiutato();
    }
  }

  const analisi_descrizioni analisi =
      analizza_descrizioni(s, d->testo_linea, d->testo_treno, identita, !o.ha("--no-plan"));
  const esito_compilazione& esito = analisi.esito;
  std::vector<std::string> scritti;
  const std::size_t omessi = stampa_diagnostica(analisi.reperti, linea, treno, d->testo_linea, d->testo_treno);
  const auto esito_json = [&](int stato) {
    if (json) stampa_uscita(json_esito(s, analisi, omessi, scritti, linea, treno, stato) + "\n");
  };
  if (!esito.scrivibile()) {
    scrivi_flusso(stderr, messaggio_errore(esito.finale) + "\n");
    esito_json(kUscitaFinale);
    return kUscitaFinale;
  }
  const bool con_errori = analisi.con_errori();
  if (!(o.ha("--strict") && con_errori)) {
    try {
      for (const auto& nome : scrivi_file_binari(s, destinazione)) scritti.push_back(da_cp1252(nome));
    } catch (const ErroreFile& e) {
      rifiuta(&r, non_scritto(e), e.percorso());
      return rifiutato();
    }
  }
  const int stato = con_errori ? kUscitaErroreDescrizione : kUscitaPulita;
  esito_json(stato);
  return stato;
}

int comando_compila(const opzioni_lette& o) {
  CartellaDisco ingressi("", false);
  CartellaDisco destinazione(o.valore("--out").value_or("."));
  return compila_in(o, ingressi, destinazione);
}

}  // namespace cmp
