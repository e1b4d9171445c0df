// compattatore export: the built-in descriptions and crew documents, as a starting point.
// Nothing is compiled and nothing is deleted.
#include <unistd.h>

#include <cstdio>

#include "comandi/avvio.h"
#include "disco/cartella_disco.h"
#include "comandi/descrizioni_utente.h"
#include "riga_comando/opzioni.h"
#include "riga_comando/riga_comando.h"
#include "riga_comando/tabella_comandi.h"
#include "builtin/linea_incorporata.h"
#include "builtin/treno_incorporato.h"
#include "documents/documenti.h"

namespace cmp {
namespace {

}  // namespace

int esporta_in(Cartella& cartella) {
  Stato s;
  identita_incorporata(s);
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

int comando_esporta(const opzioni_lette& o) {
  const std::string uscita = o.valore("--out").value_or(".");
  if (!cartella_valida(uscita, true)) return kUscitaUso;
  CartellaDisco cartella(uscita);
  return esporta_in(cartella);
}

}  // namespace cmp
