// compattatore compile: the user's two description texts, compiled with the same reader,
// finishing pass and writers as the built-in run. Inputs are only ever read.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "disco/cartella_disco.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/diagnostica.h"
#include "comandi/errore.h"
#include "riga_comando/json.h"
#include "riga_comando/opzioni.h"
#include "riga_comando/riga_comando.h"
#include "riga_comando/tabella_comandi.h"
#include "disco/scritture_insieme.h"
#include "finish/memorizza_percorso.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

struct esito_compila {
  std::optional<std::string> errore_finale;
  std::vector<std::string> scritti;  // UTF-8 names
};

std::string json_esito(const Stato& s, const esito_compila& e, const std::string& linea, const std::string& treno) {
  std::string j = "{\"codice_errore\": " + std::to_string(s.codice_errore) +
                  ", \"posizione_errore\": " + std::to_string(s.posizione_errore) +
                  ", \"errore_finale\": " + (e.errore_finale ? *e.errore_finale : "null");
  if (s.codice_errore_lettura != 0) {
    j += ", \"file\": " + json_testo(file_del_luogo(s, linea, treno));
    j += ", \"riga\": " + (s.luogo_errore.riga > 0 ? std::to_string(s.luogo_errore.riga) : "null");
    j += ", \"colonna\": " + (s.luogo_errore.riga > 0 ? std::to_string(s.luogo_errore.colonna) : "null");
    j += ", \"messaggio\": " + json_testo(descrivi_errore(s, s.codice_errore_lettura, s.posizione_errore_lettura));
  } else {
    j += ", \"file\": null, \"riga\": null, \"colonna\": null, \"messaggio\": null";
  }
  j += ", \"avvisi\": [";
  for (std::size_t i = 0; i < s.avvisi.size(); ++i) {
    if (i) j += ", ";
    j += "{\"codice\": " + std::to_string(s.avvisi[i].codice) + ", \"posizione\": " +
         std::to_string(s.avvisi[i].posizione) + ", \"messaggio\": " +
         json_testo(descrivi_errore(s, s.avvisi[i].codice, s.avvisi[i].posizione)) + "}";
  }
  j += "], \"scritti\": [";
  for (std::size_t i = 0; i < e.scritti.size(); ++i) j += (i ? ", " : "") + json_testo(e.scritti[i]);
  j += "]}";
  return j;
}

}  // namespace

int comando_compila(const opzioni_lette& o) {
  const auto d = leggi_descrizioni_utente(o, "compile");
  if (!d) return kUscitaUso;
  const std::string& linea = d->linea;
  const std::string& treno = d->treno;
  const std::string uscita = o.valore("--out").value_or(".");
  if (!cartella_valida(uscita, true)) return kUscitaUso;

  Stato s;
  CartellaMemoria ingressi;  // the reader deletes its texts here, never on disk
  prepara_compilazione(s, ingressi, *d);
  CartellaDisco destinazione(uscita);
  for (const auto& nome : {nome_file_tabella_linea(s), nome_file_scenario(s), nome_file_percorso(s)}) {
    if (sovrascrive(destinazione.percorso_di(nome), {linea, treno})) {
      segnala("compile: refusing to write " + destinazione.percorso_di(nome) + ": it is one of the input files");
      return kUscitaUso;
    }
  }

  esito_compila esito;
  const bool json = o.ha("--json");
  try {
    compila_scenario(s, ingressi, o.ha("--no-plan") ? 0 : 1);
  } catch (const ErroreFinale& e) {
    esito.errore_finale = e.numero;
    stampa_diagnostica(s, linea, treno);
    std::fprintf(stderr, "%s\n", messaggio_errore(e.numero).c_str());
    if (json) std::printf("%s\n", json_esito(s, esito, linea, treno).c_str());
    return kUscitaFinale;
  }
  stampa_diagnostica(s, linea, treno);
  if (!(o.ha("--strict") && s.codice_errore != 0)) {
    try {
      // Another run writing the same folder waits, so the three files always come from one run.
      BloccoCartella blocco(uscita);
      blocco.prendi();
      ScrittureInsieme binari(destinazione);
      const auto scritti = scrivi_file_binari(s, binari);
      binari.conferma();
      for (const auto& nome : scritti) esito.scritti.push_back(da_cp1252(nome));
    } catch (const ErroreFile& e) {
      segnala("cannot write " + e.percorso() + ": " + e.motivo());
      return kUscitaUso;
    }
  }
  if (json) std::printf("%s\n", json_esito(s, esito, linea, treno).c_str());
  return s.codice_errore != 0 ? kUscitaErroreDescrizione : kUscitaPulita;
}

}  // namespace cmp
