// compattatore export: the built-in descriptions and crew documents, as a starting point.
// Nothing is compiled and nothing is deleted.
#include <cstdio>

#include "comandi/avvio.h"
#include "disco/cartella_disco.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/cartelle_comando.h"
#include "comandi/opzioni_lette.h"
#include "comandi/esporta.h"
#include "errori/stati_uscita.h"
#include "messaggi/messaggi.h"
#include "comandi/tabella_comandi.h"
#include "builtin/linea_incorporata.h"
#include "builtin/treno_incorporato.h"
#include "documents/documenti.h"

namespace cmp {
namespace {

// The names among `nomi` already taken in the folder, as one list for the message.
std::string nomi_presenti(Cartella& cartella, const std::map<std::string, std::string>& file) {
  std::string out;
  for (const auto& [nome, byte] : file) {
    if (cartella.esiste(nome)) out += (out.empty() ? "" : ", ") + cartella.percorso_di(nome);
  }
  return out;
}

}  // namespace

// The files are made in memory first, so that a folder holding an author's edits is
// refused before anything is written, and the rest are written as one.
int esporta_in(Cartella& cartella, bool sostituisci) {
  if (!cartella_uscita_pronta(cartella)) return kUscitaUso;
  Stato s;
  identita_incorporata(s);
  CartellaMemoria prodotti;
  dati_linea(s, prodotti);
  dati_treno(s, prodotti);
  dati_note(s, prodotti);
  dati_rallentamenti(s, prodotti);
  dati_scheda(s, prodotti);
  if (!sostituisci) {
    const std::string presenti = nomi_presenti(cartella, prodotti.file);
    if (!presenti.empty()) {
      segnala("export: not replacing " + presenti + " (give --force to replace them)");
      return kUscitaUso;
    }
  }
  std::vector<file_da_scrivere> file;
  for (auto& [nome, byte] : prodotti.file) file.push_back(file_intero(nome, std::move(byte)));
  try {
    cartella.scrivi_insieme(std::move(file));
  } catch (const ErroreFile& e) {
    segnala(non_scritto(e));
    return kUscitaUso;
  }
  return kUscitaPulita;
}

int comando_esporta(const opzioni_lette& o) {
  CartellaDisco cartella(o.valore("--out").value_or("."));
  return esporta_in(cartella, o.ha("--force"));
}

}  // namespace cmp
