#include "comandi/avvio.h"

#include <cstdio>

#include "disco/cartella_disco.h"
#include "comandi/errore.h"
#include "disco/scritture_insieme.h"
#include "builtin/linea_incorporata.h"
#include "builtin/treno_incorporato.h"
#include "documents/documenti.h"
#include "compilazione/da_cartella.h"
#include "compilazione/scrivi_file.h"

namespace cmp {

void identita_incorporata(Stato& s) {
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
}

int run_incorporato(Stato& s, Cartella& cartella, Interfaccia& ui, BloccoCartella* turno) {
  identita_incorporata(s);
  ui.mostra_attesa();
  if (turno) turno->prendi();
  dati_linea(s, cartella);
  dati_treno(s, cartella);
  dati_note(s, cartella);
  dati_rallentamenti(s, cartella);
  dati_scheda(s, cartella);
  const esito_compilazione esito = compila_da_cartella(s, cartella, true);
  if (!esito.scrivibile()) {
    if (turno) turno->rilascia();  // a box left open must not hold up the next run
    return errore(ui, esito.finale);
  }
  ScrittureInsieme binari(cartella);  // the three binary files are replaced as one
  scrivi_file_binari(s, binari);
  binari.conferma();
  // Description errors are for the compile command; the run shows none of them.
  return kUscitaPulita;
}

int esegui_run_incorporato() {
  auto ui = crea_interfaccia();
  const std::string cartella_lavoro = cartella_programma();
  // A second run in the same folder waits: it would rewrite and delete the description
  // texts while this one reads them.
  BloccoCartella blocco(cartella_lavoro);
  CartellaDisco cartella(cartella_lavoro);
  Stato s;
  try {
    return run_incorporato(s, cartella, *ui, &blocco);
  } catch (const ErroreFile& e) {
    std::fprintf(stderr, "compattatore: cannot write %s: %s\n", e.percorso().c_str(), e.motivo().c_str());
    return kUscitaUso;
  }
}

}  // namespace cmp
