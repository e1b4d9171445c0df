// compattatore plot: a picture of the compiled line as one SVG page, drawn from the state
// that compiling a user's descriptions gives, or from the binary files of a compiled scenario.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "disco/cartella_disco.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/stampa_diagnostica.h"
#include "comandi/cartelle_comando.h"
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

void aggiungi_corsa(opzioni_pagina& pagina, const Stato& s) {
  pagina.corsa = calcola_corsa_minima(s.percorso, s.scenario, {});
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
    aggiungi_corsa(pagina, s);
  }
  if (!scrivi_disegno(cartella_uscita, uscita, s, pagina)) return kUscitaUso;
  return analisi.con_errori() ? kUscitaErroreDescrizione : kUscitaPulita;
}

// The scenario tables (*.sim) of the folder that fit the identity options given, by name.
std::vector<std::string> scenari_in(Cartella& cartella, const std::optional<std::string>& nome_linea,
                                    const std::optional<std::string>& numero_treno) {
  std::vector<std::string> out;
  for (const auto& nome : cartella.elenca_file()) {
    if (!nome_con_coda(nome, std::string(kCodaScenario))) continue;
    if (nome_linea && nome.rfind(*nome_linea + "_", 0) != 0) continue;
    if (numero_treno && !nome_con_coda(nome, "_" + *numero_treno + std::string(kCodaScenario))) continue;
    out.push_back(nome);
  }
  std::sort(out.begin(), out.end());  // the message lists them in a fixed order
  return out;
}

// A binary file read for drawing: its bytes (nullopt when it is missing and optional),
// or the status to end with after one line naming it: 1 for a file larger than any a
// compile writes (damaged, as dump reports it), 3 for one that cannot be read.
struct file_letto {
  std::optional<std::string> dati;
  int stato = kUscitaPulita;
};

file_letto leggi_compilato(Cartella& cartella, const std::string& nome, file_compilato genere, bool obbligatorio) {
  const std::string percorso = cartella.percorso_di(nome);
  try {
    file_letto out{cartella.leggi_ingresso(nome, byte_massimi(genere))};
    if (!out.dati && obbligatorio) {
      segnala("cannot read " + percorso + ": no such file");
      out.stato = kUscitaUso;
    }
    return out;
  } catch (const ErroreFileTroppoGrande&) {
    segnala(descrivi_difetto(percorso, difetto_troppo_grande(genere)));
    return {std::nullopt, kUscitaErroreDescrizione};
  } catch (const ErroreFile& e) {
    segnala("cannot read " + e.percorso() + ": " + e.motivo());
    return {std::nullopt, kUscitaUso};
  }
}

// The route's part of a scenario file's name "<NAME>_<NUMBER>": the name without the
// train number given or carried by the table; failing both, without its last "_...".
// The plan of the line is "<NAME>_linea.dat" beside it.
std::string prefisso_linea(const std::string& base, const std::optional<std::string>& nome_linea,
                           const std::optional<std::string>& numero_dato, const std::string& numero_tabella) {
  if (nome_linea) return *nome_linea;
  for (const auto& numero : {numero_dato.value_or(""), numero_tabella}) {
    const std::string coda = "_" + numero;
    if (!numero.empty() && base.size() > coda.size() && base.ends_with(coda)) {
      return base.substr(0, base.size() - coda.size());
    }
  }
  const std::size_t ultimo = base.rfind('_');
  return ultimo == std::string::npos || ultimo == 0 ? base : base.substr(0, ultimo);
}

int disegna_compilato(const opzioni_lette& o, Cartella& compilati, Cartella& cartella_uscita,
                      const std::string& uscita) {
  if (!cartella_valida(compilati, false)) return kUscitaUso;
  const std::string cartella = compilati.percorso_cartella();
  const auto nome_linea = o.valore("--nome-linea");
  const auto numero_treno = o.valore("--numero-treno");
  for (const auto& [opzione, valore] : {std::pair{"route identifier", nome_linea}, {"train number", numero_treno}}) {
    if (!valore) continue;
    if (const auto motivo = motivo_identita_non_valida(*valore)) {
      segnala(std::string("plot: the ") + opzione + " '" + *valore + "' cannot be used: " + *motivo);
      return kUscitaUso;
    }
  }
  std::vector<std::string> scenari;
  try {
    scenari = scenari_in(compilati, nome_linea, numero_treno);
  } catch (const ErroreFile& e) {
    segnala("cannot read " + e.percorso() + ": " + e.motivo());
    return kUscitaUso;
  }
  if (scenari.empty()) {
    segnala("plot: no compiled scenario (" +
            (nome_linea || numero_treno ? nome_linea.value_or("*") + "_" + numero_treno.value_or("*") : "*") +
            ".sim) in " + cartella);
    return kUscitaUso;
  }
  if (scenari.size() > 1) {
    std::string elenco;
    for (const auto& n : scenari) elenco += (elenco.empty() ? "" : ", ") + n;
    segnala("plot: " + cartella + " holds several scenarios (" + elenco +
            "): choose one with --nome-linea and --numero-treno");
    return kUscitaUso;
  }
  const std::string base = scenari.front().substr(0, scenari.front().size() - kCodaScenario.size());
  const std::string percorso_sim = compilati.percorso_di(base + std::string(kCodaScenario));
  const std::string percorso_dat = compilati.percorso_di(base + std::string(kCodaPercorso));
  const auto sim = leggi_compilato(compilati, base + std::string(kCodaScenario), file_compilato::scenario, true);
  if (!sim.dati) return sim.stato;
  // The train number the table carries tells the route's part of the files' names, once
  // the table is known to be one a compile wrote.
  const auto voci = decodifica_scenario(*sim.dati);
  if (voci.difetto) {
    segnala(descrivi_difetto(percorso_sim, *voci.difetto));
    return kUscitaErroreDescrizione;
  }
  const auto dat = leggi_compilato(compilati, base + std::string(kCodaPercorso), file_compilato::percorso, true);
  if (!dat.dati) return dat.stato;

  const std::string route = prefisso_linea(base, nome_linea, numero_treno, da_cp1252(testo_numero_treno(voci.voci)));
  const std::string percorso_tabella = compilati.percorso_di(nome_file_tabella_linea({route, ""}));
  const auto tabella =
      leggi_compilato(compilati, nome_file_tabella_linea({route, ""}), file_compilato::tabella_linea, false);
  if (tabella.stato != kUscitaPulita) return tabella.stato;
  if (sovrascrive(cartella_uscita.percorso_di(uscita), {percorso_sim, percorso_dat, percorso_tabella})) {
    segnala("plot: refusing to write " + cartella_uscita.percorso_di(uscita) + ": it is one of the input files");
    return kUscitaUso;
  }

  Stato s;
  const auto difetto = carica_compilato(s, tabella.dati ? std::optional<std::string_view>(*tabella.dati) : std::nullopt,
                                        *sim.dati, *dat.dati);
  if (difetto) {
    const std::string& file = difetto->file == file_compilato::scenario   ? percorso_sim
                              : difetto->file == file_compilato::percorso ? percorso_dat
                                                                          : percorso_tabella;
    segnala(descrivi_difetto(file, difetto->difetto));
    return kUscitaErroreDescrizione;
  }
  if (!scrivi_disegno(cartella_uscita, uscita, s, {})) return kUscitaUso;
  if (!tabella.dati) {
    // Worth a word, as a warning is: status 1, the picture drawn all the same.
    avvisa("plot: no plan of the line (" + nome_file_tabella_linea({route, ""}) + ") in " + cartella +
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
