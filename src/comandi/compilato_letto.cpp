// Finding and reading a compiled scenario's files in a folder.
#include "comandi/compilato_letto.h"

#include <algorithm>

#include "comandi/cartelle_comando.h"
#include "comandi/rifiuto.h"
#include "descrizioni/identita.h"
#include "errori/stati_uscita.h"
#include "messaggi/messaggi.h"
#include "model/cp1252.h"
#include "model/decodifica_file.h"
#include "model/file_binari.h"
#include "model/nomi_file.h"
#include "plot/carica_compilato.h"

namespace cmp {
namespace {

// A file name made of something followed by `coda` (".sim" alone is no scenario's name).
bool nome_con_coda(const std::string& nome, const std::string& coda) {
  return nome.size() > coda.size() && nome.ends_with(coda);
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

file_letto leggi_compilato(Cartella& cartella, const std::string& nome, file_compilato genere, bool obbligatorio,
                           rifiuto* r) {
  const std::string percorso = cartella.percorso_di(nome);
  try {
    file_letto out{cartella.leggi_ingresso(nome, byte_massimi(genere))};
    if (!out.dati && obbligatorio) {
      rifiuta(r, "cannot read " + percorso + ": no such file", percorso);
      out.stato = kUscitaUso;
    }
    return out;
  } catch (const ErroreFileTroppoGrande&) {
    rifiuta(r, descrivi_difetto(percorso, difetto_troppo_grande(genere)), percorso);
    return {std::nullopt, kUscitaErroreDescrizione};
  } catch (const ErroreFile& e) {
    rifiuta(r, "cannot read " + e.percorso() + ": " + e.motivo(), e.percorso());
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

}  // namespace

int trova_compilato(const opzioni_lette& o, const std::string& comando, Cartella& compilati, bool con_tabella,
                    compilato_letto& out, rifiuto* r) {
  if (!cartella_valida(compilati, false, r)) return kUscitaUso;
  const std::string cartella = compilati.percorso_cartella();
  const auto nome_linea = o.valore("--nome-linea");
  const auto numero_treno = o.valore("--numero-treno");
  for (const auto& [opzione, valore] : {std::pair{"route identifier", nome_linea}, {"train number", numero_treno}}) {
    if (!valore) continue;
    if (const auto motivo = motivo_identita_non_valida(*valore)) {
      rifiuta(r, comando + ": the " + opzione + " '" + *valore + "' cannot be used: " + *motivo);
      return kUscitaUso;
    }
  }
  std::vector<std::string> scenari;
  try {
    scenari = scenari_in(compilati, nome_linea, numero_treno);
  } catch (const ErroreFile& e) {
    rifiuta(r, "cannot read " + e.percorso() + ": " + e.motivo(), e.percorso());
    return kUscitaUso;
  }
  if (scenari.empty()) {
    rifiuta(r, comando + ": no compiled scenario (" +
                   (nome_linea || numero_treno ? nome_linea.value_or("*") + "_" + numero_treno.value_or("*") : "*") +
                   ".sim) in " + cartella);
    return kUscitaUso;
  }
  if (scenari.size() > 1) {
    std::string elenco;
    for (const auto& n : scenari) elenco += (elenco.empty() ? "" : ", ") + n;
    rifiuta(r, comando + ": " + cartella + " holds several scenarios (" + elenco +
                   "): choose one with --nome-linea and --numero-treno");
    return kUscitaUso;
  }
  const std::string base = scenari.front().substr(0, scenari.front().size() - kCodaScenario.size());
  const std::string percorso_sim = compilati.percorso_di(base + std::string(kCodaScenario));
  const std::string percorso_dat = compilati.percorso_di(base + std::string(kCodaPercorso));
  const auto sim = leggi_compilato(compilati, base + std::string(kCodaScenario), file_compilato::scenario, true, r);
  if (!sim.dati) return sim.stato;
  // The train number the table carries tells the route's part of the files' names, once
  // the table is known to be one a compile wrote.
  const auto voci = decodifica_scenario(*sim.dati);
  if (voci.difetto) {
    rifiuta(r, descrivi_difetto(percorso_sim, *voci.difetto), percorso_sim);
    return kUscitaErroreDescrizione;
  }
  const auto dat = leggi_compilato(compilati, base + std::string(kCodaPercorso), file_compilato::percorso, true, r);
  if (!dat.dati) return dat.stato;

  const std::string route = prefisso_linea(base, nome_linea, numero_treno, da_cp1252(testo_numero_treno(voci.voci)));
  out.cartella = cartella;
  out.nome_tabella = nome_file_tabella_linea({route, ""});
  out.percorso_sim = percorso_sim;
  out.percorso_dat = percorso_dat;
  out.percorso_tabella = compilati.percorso_di(out.nome_tabella);
  out.sim = sim.dati;
  out.dat = dat.dati;
  if (con_tabella) {
    const auto tabella = leggi_compilato(compilati, out.nome_tabella, file_compilato::tabella_linea, false, r);
    if (tabella.stato != kUscitaPulita) return tabella.stato;
    out.tabella = tabella.dati;
  }
  return kUscitaPulita;
}

int carica_letto(const compilato_letto& l, Stato& s, rifiuto* r) {
  const auto difetto =
      carica_compilato(s, l.tabella ? std::optional<std::string_view>(*l.tabella) : std::nullopt, *l.sim, *l.dat);
  if (difetto) {
    const std::string& file = difetto->file == file_compilato::scenario   ? l.percorso_sim
                              : difetto->file == file_compilato::percorso ? l.percorso_dat
                                                                          : l.percorso_tabella;
    rifiuta(r, descrivi_difetto(file, difetto->difetto), file);
    return kUscitaErroreDescrizione;
  }
  return kUscitaPulita;
}

}  // namespace cmp
