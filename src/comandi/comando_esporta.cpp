// compattatore export: the built-in descriptions and crew documents, as a starting point.
// Nothing is compiled and nothing is deleted.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "comandi/avvio.h"
#include "disco/cartella_disco.h"
#include "comandi/descrizioni_utente.h"
#include "riga_comando/opzioni.h"
#include "riga_comando/riga_comando.h"
#include "builtin/linea_incorporata.h"
#include "builtin/treno_incorporato.h"
#include "documents/documenti.h"

namespace cmp {
namespace {

constexpr const char* kAiutoEsporta =
    "usage: compattatore export [--out DIR]\n"
    "\n"
    "Writes the built-in scenario's line description (VallorsaC_Pietrana_linea.txt),\n"
    "train description (VallorsaC_Pietrana_4721-.txt) and the three crew documents into\n"
    "DIR (default: the current folder, which must exist), replacing files of the same\n"
    "name. 'compattatore compile --line VallorsaC_Pietrana_linea.txt\n"
    "--train VallorsaC_Pietrana_4721-.txt' then gives the built-in run's binary files.\n";

}  // namespace

int comando_esporta(const std::vector<std::string>& argomenti) {
  const auto o = leggi_opzioni(argomenti, {"--out"}, {"--help"}, 0);
  if (o.ha("--help")) {
    std::fputs(kAiutoEsporta, stdout);
    return kUscitaPulita;
  }
  if (o.errore) {
    segnala("export: " + *o.errore + " (try 'compattatore export --help')");
    return kUscitaUso;
  }
  const std::string uscita = o.valore("--out").value_or(".");
  if (!cartella_valida(uscita, true)) return kUscitaUso;
  Stato s;
  identita_incorporata(s);
  CartellaDisco cartella(uscita);
  try {
    dati_linea(s, cartella);
    dati_treno(s, cartella);
    dati_note(s, cartella);
    dati_rallentamenti(s, cartella);
    dati_scheda(s, cartella);
  } catch (const ErroreFile& e) {
    segnala("cannot write " + e.percorso() + ": " + e.motivo());
    return kUscitaUso;
  }
  return kUscitaPulita;
}

}  // namespace cmp
