// compattatore plot: a picture of the compiled line as one SVG page, drawn from the state
// that compiling a user's descriptions gives, or from the binary files of a compiled scenario.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "disco/cartella_disco.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/stampa_diagnostica.h"
#include "comandi/cartelle_comando.h"
#include "comandi/compilato_letto.h"
#include "comandi/nuclei.h"
#include "finestra/errore.h"
#include "descrizioni/identita.h"
#include "comandi/opzioni_lette.h"
#include "errori/stati_uscita.h"
#include "model/nomi_file.h"
#include "messaggi/messaggi.h"
#include "messaggi/scrivi_flusso.h"
#include "compilazione/compila.h"
#include "comandi/tabella_comandi.h"
#include "model/cp1252.h"
#include "model/decodifica_file.h"
#include "model/file_binari.h"
#include "model/percorso_utf8.h"
#include "plot/carica_compilato.h"
#include "plot/disegna.h"
#include "plot/pagina.h"
#include "descrizioni/diagnostica.h"
#include "descrizioni/reperti_orario.h"
#include "comandi/pagina_descrizioni.h"

namespace cmp {
namespace {

// A file name made of something followed by `coda` (".sim" alone is no scenario's name).
bool nome_con_coda(const std::string& nome, const std::string& coda) {
  return nome.size() > coda.size() && nome.ends_with(coda);
}

// The format follows the name: an interactive page for .html and .htm, the SVG picture otherwise.
bool pagina_richiesta(const std::string& uscita) {
  std::string minuscolo = uscita;
  for (char& c : minuscolo) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return nome_con_coda(minuscolo, ".html") || nome_con_coda(minuscolo, ".htm");
}

}  // namespace

// The texts the page links to, under the names given and their absolute paths.
std::vector<testo_sorgente> testi_sorgente(const descrizioni_utente& d) {
  const auto assoluto = [](const std::string& p) {
    std::error_code ec;
    const auto a = std::filesystem::absolute(percorso_da_utf8(p), ec);
    return ec ? p : utf8_del_percorso(a.lexically_normal());
  };
  return {{d.linea, assoluto(d.linea)}, {d.treno, assoluto(d.treno)}};
}

std::vector<diagnostica_pagina> diagnostiche_pagina(const std::vector<reperto>& reperti) {
  std::vector<diagnostica_pagina> out;
  for (const auto& r : reperti) {
    diagnostica_pagina d;
    if (r.posizione) d.metro = *r.posizione;
    d.errore = r.errore;
    d.codice = r.numero;
    d.messaggio = r.messaggio;
    // The text it is in, also for a finding without a line (the page links only to a line).
    if (r.testo != testo_descrizione::nessuno) d.file = r.testo == testo_descrizione::linea ? 0 : 1;
    d.riga = r.riga;
    d.colonna = r.colonna;
    out.push_back(std::move(d));
  }
  return out;
}

void aggiungi_corsa(opzioni_pagina& pagina, const Stato& s, const esito_compilazione& esito) {
  pagina.corsa = corsa_della_compilazione(s, esito, {});
  pagina.margine_minimo = kMargineMinimoPredefinito;
  const auto avvisi = diagnostiche_pagina(reperti_orario(*pagina.corsa, &pagina.righe, pagina.margine_minimo));
  pagina.diagnostiche.insert(pagina.diagnostiche.end(), avvisi.begin(), avvisi.end());
}

namespace {

// Writes the picture or the page; false (after one line naming the file) when it cannot be written.
bool scrivi_disegno(Cartella& uscita, const std::string& nome, const Stato& s, const opzioni_pagina& pagina) {
  try {
    uscita.scrivi_uscita(nome, pagina_richiesta(nome) ? disegna_pagina(s, pagina) : disegna_svg(s));
    return true;
  } catch (const ErroreFile& e) {
    segnala(non_scritto(e));
    return false;
  }
}

int disegna_descrizioni(const opzioni_lette& o, Cartella& ingressi, Cartella& cartella_uscita,
                        const std::string& uscita) {
  auto d = leggi_descrizioni_utente(o, "plot", ingressi);
  if (!d) return kUscitaUso;
  const auto codifica = codifica_scelta(o, "plot");
  if (!codifica || !converti_descrizioni(*d, *codifica)) return kUscitaUso;
  if (sovrascrive(cartella_uscita.percorso_di(uscita),
                  {ingressi.percorso_di(d->linea), ingressi.percorso_di(d->treno)})) {
    segnala("plot: refusing to write " + cartella_uscita.percorso_di(uscita) + ": it is one of the input files");
    return kUscitaUso;
  }
  Stato s;
  const analisi_descrizioni analisi = analizza_descrizioni(s, d->testo_linea, d->testo_treno, identita_di(*d), true);
  const esito_compilazione& esito = analisi.esito;
  stampa_diagnostica(analisi.reperti, d->linea, d->treno, d->testo_linea, d->testo_treno);
  if (!esito.scrivibile()) {
    scrivi_flusso(stderr, messaggio_errore(esito.finale) + "\n");
    return kUscitaFinale;
  }
  opzioni_pagina pagina;
  if (pagina_richiesta(uscita)) {
    pagina.testi = testi_sorgente(*d);
    pagina.righe = esito.righe;
    pagina.modello_editor = o.valore("--editor-url").value_or("");
    pagina.diagnostiche = diagnostiche_pagina(analisi.reperti);
    aggiungi_corsa(pagina, s, esito);
  }
  if (!scrivi_disegno(cartella_uscita, uscita, s, pagina)) return kUscitaUso;
  return analisi.con_errori() ? kUscitaErroreDescrizione : kUscitaPulita;
}

int disegna_compilato(const opzioni_lette& o, Cartella& compilati, Cartella& cartella_uscita,
                      const std::string& uscita) {
  compilato_letto letto;
  if (const int stato = trova_compilato(o, "plot", compilati, true, letto); stato != kUscitaPulita) return stato;
  if (sovrascrive(cartella_uscita.percorso_di(uscita),
                  {letto.percorso_sim, letto.percorso_dat, letto.percorso_tabella})) {
    segnala("plot: refusing to write " + cartella_uscita.percorso_di(uscita) + ": it is one of the input files");
    return kUscitaUso;
  }
  Stato s;
  if (const int stato = carica_letto(letto, s); stato != kUscitaPulita) return stato;
  if (!scrivi_disegno(cartella_uscita, uscita, s, {})) return kUscitaUso;
  if (!letto.tabella) {
    // Worth a word, as a warning is: status 1, the picture drawn all the same.
    avvisa("plot: no plan of the line (" + letto.nome_tabella + ") in " + letto.cartella +
           ": the profiles are drawn alone");
    return kUscitaErroreDescrizione;
  }
  return kUscitaPulita;
}

}  // namespace

int disegna_in(const opzioni_lette& o, Cartella& ingressi, Cartella& uscita) {
  const auto nome_uscita = o.valore("--out");
  if (!nome_uscita) {
    segnala("plot: --out FILE.svg is required (try 'compattatore plot --help')");
    return kUscitaUso;
  }
  if (o.valore("--from")) {
    if (o.valore("--line") || o.valore("--train")) {
      segnala("plot: give either --from or --line and --train, not both (try 'compattatore plot --help')");
      return kUscitaUso;
    }
    return disegna_compilato(o, ingressi, uscita, *nome_uscita);
  }
  return disegna_descrizioni(o, ingressi, uscita, *nome_uscita);
}

// The files named on the command line are paths as typed; --from names a folder.
int comando_plot(const opzioni_lette& o) {
  CartellaDisco percorsi("", false);
  if (const auto da = o.valore("--from")) {
    CartellaDisco compilati(*da, false);
    return disegna_in(o, compilati, percorsi);
  }
  return disegna_in(o, percorsi, percorsi);
}

}  // namespace cmp
