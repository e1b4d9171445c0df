#include "comandi/ciclo_watch.h"

#include <algorithm>
#include <chrono>

#include "comandi/descrizioni_utente.h"
#include "comandi/stampa_diagnostica.h"
#include "comandi/cartelle_comando.h"
#include "descrizioni/diagnostica.h"
#include "finestra/errore.h"
#include "model/percorso_utf8.h"
#include "messaggi/scrivi_flusso.h"
#include "comandi/pagina_descrizioni.h"
#include "compilazione/compila.h"
#include "compilazione/scrivi_file.h"
#include "disco/cartella_disco.h"
#include "errori/stati_uscita.h"
#include "plot/pagina.h"

namespace cmp {
namespace {

// "error 15", "2 warnings", "clean": what the diagnostics above the status line add up to.
std::string riassunto(const analisi_descrizioni& a) {
  std::string out;
  if (a.esito.lettura.codice != 0) out = "error " + std::to_string(a.esito.lettura.codice);
  const auto avvisi = std::count_if(a.reperti.begin(), a.reperti.end(), [](const reperto& r) { return !r.errore; });
  if (avvisi > 0) out += (out.empty() ? "" : ", ") + std::to_string(avvisi) + (avvisi == 1 ? " warning" : " warnings");
  return out.empty() ? "clean" : out;
}

// The out folder, made again with its parents when it was removed since the start: the
// rebuild then goes on as at the start. Empty when it is there, else the reason.
std::string cartella_ancora_pronta(Cartella& uscita) {
  try {
    uscita.crea();
    return {};
  } catch (const ErroreFile& e) {
    return "cannot create " + e.percorso() + ": " + e.motivo();
  }
}

// The binary files, all or none, under the same lock compile takes. Empty when written,
// else the reason.
std::string scrivi_binari(const Stato& s, Cartella& uscita) {
  try {
    scrivi_file_binari(s, uscita);
    return {};
  } catch (const ErroreFile& e) {
    return non_scritto(e);
  }
}

}  // namespace

std::string nome_pagina_watch(const std::string& nome_linea, const std::string& numero_treno) {
  return nome_linea + "_" + numero_treno + ".html";
}

void ricostruisci(Sorveglianza& os, const parametri_watch& p, Cartella& ingressi, Cartella& uscita, int numero,
                  std::FILE* stato) {
  const auto inizio = std::chrono::steady_clock::now();
  const auto millisecondi = [&] {
    return std::to_string(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inizio).count());
  };
  const auto riga = [&](const std::string& testo) {
    scrivi_flusso(stato, "watch: rebuild " + std::to_string(numero) + " in " + millisecondi() + " ms: " + testo + "\n");
  };
  auto d = leggi_descrizioni_utente(p.opzioni, "watch", ingressi);
  if (!d) return riga("not rebuilt: a description cannot be read");
  if (!converti_descrizioni(*d, p.codifica)) return riga("not rebuilt: a description is not in " + p.codifica);
  Stato s;
  const analisi_descrizioni analisi = analizza_descrizioni(s, d->testo_linea, d->testo_treno, identita_di(*d), true);
  const esito_compilazione& esito = analisi.esito;
  stampa_diagnostica(analisi.reperti, d->linea, d->treno, d->testo_linea, d->testo_treno);
  if (!esito.scrivibile()) {
    scrivi_flusso(stderr, messaggio_errore(esito.finale) + "\n");
    return riga("error " + std::to_string(numero_finale(esito.finale)) + ", nothing written");
  }
  if (const std::string guasto = cartella_ancora_pronta(uscita); !guasto.empty()) return riga(guasto);
  if (const std::string guasto = scrivi_binari(s, uscita); !guasto.empty()) return riga(guasto);

  opzioni_pagina o;
  o.testi = testi_sorgente(*d);
  o.righe = esito.righe;
  o.modello_editor = p.modello_editor;
  o.diagnostiche = diagnostiche_pagina(analisi.reperti);
  aggiungi_corsa(o, s, esito);
  o.file_ricarica = "versione";
  const std::string pagina = disegna_pagina(s, o);
  const identita_scenario identita = identita_di(*d);  // the folder's names are in Windows-1252
  try {
    uscita.scrivi(nome_pagina_watch(identita.nome_linea, identita.numero_treno), pagina);
  } catch (const ErroreFile& e) {
    return riga(non_scritto(e));
  }
  os.pubblica(pagina, std::to_string(numero));
  riga(riassunto(analisi));
}

int esegui_watch(Sorveglianza& os, const parametri_watch& p, Cartella& ingressi, Cartella& uscita, std::FILE* stato) {
  int numero = 1;
  ricostruisci(os, p, ingressi, uscita, numero, stato);
  for (;;) {
    evento_sorveglianza e = os.attendi(-1);
    if (e == evento_sorveglianza::nulla) continue;
    // The burst of events one save makes ends when the folder has been quiet for a while.
    while (e == evento_sorveglianza::modifica) e = os.attendi(kQuieteMs);
    if (e == evento_sorveglianza::fine) return kUscitaPulita;
    ricostruisci(os, p, ingressi, uscita, ++numero, stato);
  }
}

int esegui_watch(Sorveglianza& os, const parametri_watch& p, std::FILE* stato) {
  CartellaDisco ingressi("", false);
  CartellaDisco uscita(p.uscita);
  return esegui_watch(os, p, ingressi, uscita, stato);
}

}  // namespace cmp
