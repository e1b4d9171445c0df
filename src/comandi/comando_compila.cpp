// compattatore compile: the user's two description texts, compiled with the same reader,
// finishing pass and writers as the built-in run. Inputs are only ever read.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "disco/cartella_disco.h"
#include "comandi/avvisi_testo.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/diagnostica.h"
#include "comandi/errore.h"
#include "riga_comando/json.h"
#include "riga_comando/opzioni.h"
#include "riga_comando/riga_comando.h"
#include "riga_comando/tabella_comandi.h"
#include "riga_comando/uscita_standard.h"
#include "disco/scritture_insieme.h"
#include "compilazione/compila.h"
#include "compilazione/scrivi_file.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"
#include "model/testo_visibile.h"

namespace cmp {
namespace {

// One entry of "avvisi": every warning has the same keys, null where it has no value.
std::string json_avviso(int codice, std::optional<std::int32_t> posizione, const std::string* file, int riga,
                        int colonna, const std::string& messaggio) {
  const auto numero = [](bool c, auto n) { return c ? std::to_string(n) : std::string("null"); };
  return "{\"codice\": " + std::to_string(codice) + ", \"posizione\": " + numero(posizione.has_value(), posizione.value_or(0)) +
         ", \"file\": " + (file ? json_testo(*file) : "null") + ", \"riga\": " + numero(file != nullptr, riga) +
         ", \"colonna\": " + numero(file != nullptr, colonna) + ", \"messaggio\": " + json_testo(messaggio) + "}";
}

// `scritti`: the UTF-8 names of the files written. `avvisi` holds the warnings printed on
// standard error, in their order; `avvisi_omessi` counts those left out.
std::string json_esito(const Stato& s, const esito_compilazione& e, const std::vector<avviso_in_file>& avvisi_testo,
                       const avvisi_mostrati& mostrati, const std::vector<std::string>& scritti,
                       const std::string& linea, const std::string& treno, int stato) {
  const errore_lettura& l = e.lettura;
  std::string j = "{\"stato\": " + std::to_string(stato) + ", \"codice_errore\": " + std::to_string(s.codice_errore) +
                  ", \"posizione_errore\": " + std::to_string(s.posizione_errore) + ", \"errore_finale\": " +
                  (e.scrivibile() ? std::string("null") : std::to_string(numero_finale(e.finale)));
  if (l.codice != 0) {
    j += ", \"file\": " + json_testo(file_del_luogo(l, linea, treno));
    j += ", \"riga\": " + (l.dove.riga > 0 ? std::to_string(l.dove.riga) : "null");
    j += ", \"colonna\": " + (l.dove.riga > 0 ? std::to_string(l.dove.colonna) : "null");
    j += ", \"messaggio\": " + json_testo(descrivi_lettura(s, e));
  } else if (const riga_sorgente* r = e.scrivibile() ? nullptr : riga_del_posto_occupato(e)) {
    j += ", \"file\": " + json_testo(r->testo == testo_descrizione::linea ? linea : treno);
    j += ", \"riga\": " + std::to_string(r->riga) + ", \"colonna\": " + std::to_string(r->colonna);
    j += ", \"messaggio\": " + json_testo(messaggio_posto_occupato(*r, e.finale));
  } else {
    j += ", \"file\": null, \"riga\": null, \"colonna\": null, \"messaggio\": null";
  }
  // The check over the texts first, then the finishing pass, as standard error shows them.
  j += ", \"avvisi\": [";
  bool prima_voce = true;
  const auto voce = [&](const std::string& testo) {
    j += (prima_voce ? "" : ", ") + testo;
    prima_voce = false;
  };
  for (std::size_t i = 0; i < mostrati.del_testo; ++i) {
    const auto& a = avvisi_testo[i];
    voce(json_avviso(a.avviso.codice, std::nullopt, a.file, a.avviso.riga, a.avviso.colonna, a.avviso.messaggio));
  }
  const IndiceAvvisi indice(s, e);
  for (std::size_t i = 0; i < mostrati.di_finitura; ++i) {
    const auto& a = e.avvisi[i];
    const riga_sorgente* r = indice.riga(a);
    voce(json_avviso(a.codice, a.posizione, r ? &treno : nullptr, r ? r->riga : 0, r ? r->colonna : 0,
                     descrivi_avviso(s, indice, a)));
  }
  j += "], \"avvisi_omessi\": " + std::to_string(mostrati.omessi) + ", \"scritti\": [";
  for (std::size_t i = 0; i < scritti.size(); ++i) j += (i ? ", " : "") + json_testo(scritti[i]);
  j += "]}";
  return j;
}

// --encoding utf-8: both texts turned into Windows-1252 before reading; false (after one
// diagnostic naming the place) when a text holds what the code page cannot.
bool converti_testi(descrizioni_utente& d, rifiuto& r) {
  for (auto [testo, file] : {std::pair{&d.testo_linea, &d.linea}, {&d.testo_treno, &d.treno}}) {
    auto c = converti_da_utf8(*testo);
    if (c.errore) {
      const std::string messaggio = *file + ":" + std::to_string(c.errore->riga) + ":" +
                                    std::to_string(c.errore->colonna) +
                                    ": error: cannot convert to Windows-1252: " + c.errore->messaggio;
      const std::string riga = testo_visibile(messaggio) + "\n";
      std::fwrite(riga.data(), 1, riga.size(), stderr);
      r = {messaggio, *file};  // for --json
      return false;
    }
    *testo = std::move(c.testo);
  }
  return true;
}

// The warnings of the check over both texts, line first.
std::vector<avviso_in_file> avvisi_dei_testi(const descrizioni_utente& d) {
  std::vector<avviso_in_file> out;
  for (const auto& [testo, file, formato] :
       {std::tuple{&d.testo_linea, &d.linea, formato_descrizione::linea},
        std::tuple{&d.testo_treno, &d.treno, formato_descrizione::treno}}) {
    for (auto& a : controlla_testo(*testo, formato)) out.push_back({file, std::move(a)});
  }
  return out;
}

}  // namespace

int comando_compila(const opzioni_lette& o) {
  const bool json = o.ha("--json");
  rifiuto r;
  const auto rifiutato = [&] {
    if (json) stampa_uscita(json_rifiuto(r.messaggio, r.file) + "\n");
    return kUscitaUso;
  };
  auto d = leggi_descrizioni_utente(o, "compile", &r);
  if (!d) return rifiutato();
  const std::string codifica = o.valore("--encoding").value_or("windows-1252");
  if (codifica != "windows-1252" && codifica != "utf-8") {
    rifiuta(&r, "compile: unknown encoding '" + codifica + "': windows-1252 or utf-8 (try 'compattatore compile --help')");
    return rifiutato();
  }
  if (codifica == "utf-8" && !converti_testi(*d, r)) return rifiutato();
  const std::string& linea = d->linea;
  const std::string& treno = d->treno;
  const std::string uscita = o.valore("--out").value_or(".");
  if (!cartella_uscita_pronta(uscita, &r)) return rifiutato();

  Stato s;
  const identita_scenario identita = identita_di(*d);
  s.nome_linea = identita.nome_linea;
  s.numero_treno = identita.numero_treno;
  CartellaDisco destinazione(uscita);
  for (const auto& nome : {nome_file_tabella_linea(s), nome_file_scenario(s), nome_file_percorso(s)}) {
    if (sovrascrive(destinazione.percorso_di(nome), {linea, treno})) {
      rifiuta(&r, "compile: refusing to write " + destinazione.percorso_di(nome) + ": it is one of the input files",
              destinazione.percorso_di(nome));
      return rifiutato();
    }
  }

  const esito_compilazione esito = compila_descrizioni(s, d->testo_linea, d->testo_treno, identita, !o.ha("--no-plan"));
  std::vector<std::string> scritti;
  const std::vector<avviso_in_file> avvisi_testo = avvisi_dei_testi(*d);
  const avvisi_mostrati mostrati =
      stampa_diagnostica(s, esito, linea, treno, d->testo_linea, d->testo_treno, avvisi_testo);
  const auto esito_json = [&](int stato) {
    if (json) stampa_uscita(json_esito(s, esito, avvisi_testo, mostrati, scritti, linea, treno, stato) + "\n");
  };
  if (!esito.scrivibile()) {
    std::fprintf(stderr, "%s\n", messaggio_errore(esito.finale).c_str());
    esito_json(kUscitaFinale);
    return kUscitaFinale;
  }
  const bool con_errori = esito.con_errori() || !avvisi_testo.empty();
  if (!(o.ha("--strict") && con_errori)) {
    try {
      // Another run writing the same folder waits (the folder's turn, taken by the write),
      // so the three files always come from one run.
      ScrittureInsieme binari(destinazione);
      for (const auto& nome : scrivi_file_binari(s, binari)) scritti.push_back(da_cp1252(nome));
      binari.conferma();
    } catch (const ErroreFile& e) {
      rifiuta(&r, "cannot write " + e.percorso() + ": " + e.motivo(), e.percorso());
      return rifiutato();
    }
  }
  const int stato = con_errori ? kUscitaErroreDescrizione : kUscitaPulita;
  esito_json(stato);
  return stato;
}

}  // namespace cmp
