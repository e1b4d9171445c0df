#include "comandi/avvio.h"

#include <cstdio>

#include "disco/cartella_disco.h"
#include "finestra/errore.h"
#include "messaggi/scrivi_flusso.h"
#include "builtin/linea_incorporata.h"
#include "builtin/treno_incorporato.h"
#include "documents/documenti.h"
#include "compilazione/da_cartella.h"
#include "compilazione/scrivi_file.h"
#include "model/nomi_file.h"

namespace cmp {

void identita_incorporata(Stato& s) {
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
}

int run_incorporato(Stato& s, Cartella& cartella, Interfaccia& ui) {
  identita_incorporata(s);
  ui.mostra_attesa();
  // A second run in the same folder waits: it would rewrite and delete the description
  // texts while this one reads them.
  TurnoCartella turno(cartella, nome_descrizione_linea(identita_di(s)));
  dati_linea(s, cartella);
  dati_treno(s, cartella);
  dati_note(s, cartella);
  dati_rallentamenti(s, cartella);
  dati_scheda(s, cartella);
  const esito_compilazione esito = compila_da_cartella(s, cartella, true);
  if (!esito.scrivibile()) {
    turno.lascia();  // a box left open must not hold up the next run
    return errore(ui, esito.finale);
  }
  scrivi_file_binari(s, cartella);  // the three binary files are replaced as one
  // Description errors are for the compile command; the run shows none of them.
  return kUscitaPulita;
}

int run_incorporato_in(Cartella& cartella, Interfaccia& ui) {
  Stato s;
  try {
    return run_incorporato(s, cartella, ui);
  } catch (const ErroreFile& e) {
    scrivi_flusso(stderr, "compattatore: cannot write " + e.percorso() + ": " + e.motivo() + "\n");
    return kUscitaUso;
  }
}

int esegui_run_incorporato() {
  auto ui = crea_interfaccia();
  CartellaDisco cartella(cartella_programma());
  return run_incorporato_in(cartella, *ui);
}

}  // namespace cmp
