// compattatore plot: a picture of the compiled line as one SVG page, drawn from the state
// that compiling a user's descriptions gives, or from the binary files of a compiled scenario.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "disco/cartella_disco.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/errore.h"
#include "comandi/identita.h"
#include "riga_comando/opzioni.h"
#include "riga_comando/riga_comando.h"
#include "riga_comando/tabella_comandi.h"
#include "finish/memorizza_percorso.h"
#include "model/cp1252.h"
#include "plot/carica_compilato.h"
#include "plot/disegna.h"

namespace cmp {
namespace {

// Writes the picture; false (after one line naming the file) when it cannot be written.
bool scrivi_disegno(const std::string& uscita, const Stato& s) {
  try {
    scrivi_file_atomico(uscita, disegna_svg(s));
    return true;
  } catch (const ErroreFile& e) {
    segnala("cannot write " + e.percorso() + ": " + e.motivo());
    return false;
  }
}

int disegna_descrizioni(const opzioni_lette& o, const std::string& uscita) {
  const auto d = leggi_descrizioni_utente(o, "plot");
  if (!d) return kUscitaUso;
  if (sovrascrive(uscita, {d->linea, d->treno})) {
    segnala("plot: refusing to write " + uscita + ": it is one of the input files");
    return kUscitaUso;
  }
  Stato s;
  CartellaMemoria ingressi;
  prepara_compilazione(s, ingressi, *d);
  try {
    compila_scenario(s, ingressi, 1);
  } catch (const ErroreFinale& e) {
    stampa_diagnostica(s, d->linea, d->treno);
    std::fprintf(stderr, "%s\n", messaggio_errore(e.numero).c_str());
    return kUscitaFinale;
  }
  stampa_diagnostica(s, d->linea, d->treno);
  if (!scrivi_disegno(uscita, s)) return kUscitaUso;
  return s.codice_errore != 0 ? kUscitaErroreDescrizione : kUscitaPulita;
}

// A file name made of something followed by `coda` (".sim" alone is no scenario's name).
bool nome_con_coda(const std::string& nome, const std::string& coda) {
  return nome.size() > coda.size() && nome.ends_with(coda);
}

// The scenario tables (*.sim) of the folder that fit the identity options given, by name.
std::vector<std::string> scenari_in(const std::string& cartella, const std::optional<std::string>& nome_linea,
                                    const std::optional<std::string>& numero_treno) {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& voce : std::filesystem::directory_iterator(cartella, ec)) {
    const std::string nome = voce.path().filename().string();
    if (!nome_con_coda(nome, ".sim") || !voce.is_regular_file(ec)) continue;
    if (nome_linea && nome.rfind(*nome_linea + "_", 0) != 0) continue;
    if (numero_treno && !nome_con_coda(nome, "_" + *numero_treno + ".sim")) continue;
    out.push_back(nome);
  }
  std::sort(out.begin(), out.end());  // the message lists them in a fixed order
  return out;
}

// The bytes of a file that must be there, or nullopt after one line naming it.
std::optional<std::string> leggi_obbligatorio(const std::string& percorso) {
  try {
    auto dati = leggi_file(percorso);
    if (!dati) segnala("cannot read " + percorso + ": no such file");
    return dati;
  } catch (const ErroreFile& e) {
    segnala("cannot read " + e.percorso() + ": " + e.motivo());
    return std::nullopt;
  }
}

int disegna_compilato(const opzioni_lette& o, const std::string& cartella, const std::string& uscita) {
  if (!cartella_valida(cartella, false)) return kUscitaUso;
  const auto nome_linea = o.valore("--nome-linea");
  const auto numero_treno = o.valore("--numero-treno");
  for (const auto& [opzione, valore] : {std::pair{"route identifier", nome_linea}, {"train number", numero_treno}}) {
    if (!valore) continue;
    if (const auto motivo = motivo_identita_non_valida(*valore)) {
      segnala(std::string("plot: the ") + opzione + " '" + *valore + "' cannot be used: " + *motivo);
      return kUscitaUso;
    }
  }
  const auto scenari = scenari_in(cartella, nome_linea, numero_treno);
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
  const std::string base = scenari.front().substr(0, scenari.front().size() - 4);
  const std::string percorso_sim = (std::filesystem::path(cartella) / (base + ".sim")).string();
  const std::string percorso_dat = (std::filesystem::path(cartella) / (base + ".dat")).string();
  const auto sim = leggi_obbligatorio(percorso_sim);
  if (!sim) return kUscitaUso;
  const auto dat = leggi_obbligatorio(percorso_dat);
  if (!dat) return kUscitaUso;

  // The plan belongs to the route: its name is the one the scenario table carries.
  const auto voci = decodifica_scenario(*sim);
  const std::string route = nome_linea.value_or(voci.voci.size() > 85 ? da_cp1252(voci.voci[85].testo) : "");
  std::optional<std::string> tabella;
  std::string percorso_tabella;
  if (!route.empty()) {
    percorso_tabella = (std::filesystem::path(cartella) / (route + "_linea.dat")).string();
    try {
      tabella = leggi_file(percorso_tabella);
    } catch (const ErroreFile& e) {
      segnala("cannot read " + e.percorso() + ": " + e.motivo());
      return kUscitaUso;
    }
  }
  if (!tabella) {
    segnala("plot: no plan of the line (" + (route.empty() ? std::string("*_linea.dat") : route + "_linea.dat") +
            ") in " + cartella + ": drawing the profiles only");
  }
  if (sovrascrive(uscita, {percorso_sim, percorso_dat, percorso_tabella})) {
    segnala("plot: refusing to write " + uscita + ": it is one of the input files");
    return kUscitaUso;
  }

  Stato s;
  const auto difetto =
      carica_compilato(s, tabella ? std::optional<std::string_view>(*tabella) : std::nullopt, *sim, *dat);
  if (difetto) {
    const std::string& file = difetto->file == file_compilato::scenario  ? percorso_sim
                              : difetto->file == file_compilato::percorso ? percorso_dat
                                                                          : percorso_tabella;
    segnala("cannot read " + file + ": byte " + std::to_string(difetto->difetto.offset) + ": " +
            difetto->difetto.motivo);
    return kUscitaUso;
  }
  return scrivi_disegno(uscita, s) ? kUscitaPulita : kUscitaUso;
}

}  // namespace

int comando_plot(const opzioni_lette& o) {
  const auto uscita = o.valore("--out");
  if (!uscita) {
    segnala("plot: --out FILE.svg is required (try 'compattatore plot --help')");
    return kUscitaUso;
  }
  if (const auto cartella = o.valore("--from")) {
    if (o.valore("--line") || o.valore("--train")) {
      segnala("plot: give either --from or --line and --train, not both (try 'compattatore plot --help')");
      return kUscitaUso;
    }
    return disegna_compilato(o, *cartella, *uscita);
  }
  return disegna_descrizioni(o, *uscita);
}

}  // namespace cmp
