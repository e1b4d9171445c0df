// compattatore watch: compile and draw at start and again each time a description is saved,
// with the page served on 127.0.0.1 so that it reloads itself after each rebuild.
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "comandi/ciclo_watch.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/cartelle_comando.h"
#include "finestra/errore.h"
#include "disco/cartella_disco.h"
#include "errori/stati_uscita.h"
#include "model/nomi_file.h"
#include "model/percorso_utf8.h"
#include "messaggi/messaggi.h"
#include "messaggi/scrivi_flusso.h"
#include "comandi/tabella_comandi.h"
#include "sorveglianza/sorveglianza_sistema.h"

namespace cmp {
namespace {

// The folder that holds a file and its name, as inotify needs them.
nome_sorvegliato cartella_e_nome(const std::string& percorso) {
  const std::filesystem::path p = std::filesystem::absolute(percorso_da_utf8(percorso)).lexically_normal();
  return {utf8_del_percorso(p.parent_path()), utf8_del_percorso(p.filename())};
}

// The outputs must not be among the inputs: a save would otherwise rebuild from the output.
bool uscite_distinte(const descrizioni_utente& d, const std::string& uscita) {
  Stato s;
  const identita_scenario identita = identita_di(d);
  s.nome_linea = identita.nome_linea;
  s.numero_treno = identita.numero_treno;
  std::vector<std::string> uscite;
  for (const auto& nome : {nome_file_tabella_linea(identita_di(s)), nome_file_scenario(identita_di(s)),
                           nome_file_percorso(identita_di(s))}) {
    uscite.push_back(CartellaDisco(uscita).percorso_di(nome));
  }
  uscite.push_back(
      utf8_del_percorso(percorso_da_utf8(uscita) / percorso_da_utf8(nome_pagina_watch(d.nome_linea, d.numero_treno))));
  for (const auto& u : uscite) {
    if (sovrascrive(u, {d.linea, d.treno})) {
      segnala("watch: refusing to write " + u + ": it is one of the input files");
      return false;
    }
  }
  return true;
}

}  // namespace

int comando_watch(const opzioni_lette& o) {
  CartellaDisco ingressi("", false);
  const auto d = leggi_descrizioni_utente(o, "watch", ingressi);
  if (!d) return kUscitaUso;
  const auto codifica = codifica_scelta(o, "watch");
  if (!codifica) return kUscitaUso;
  parametri_watch p{o, o.valore("--out").value_or("."), o.valore("--editor-url").value_or(""), *codifica};
  CartellaDisco uscita(p.uscita);
  if (!cartella_uscita_pronta(uscita) || !uscite_distinte(*d, p.uscita)) return kUscitaUso;
  try {
    auto os = apri_sorveglianza_sistema({cartella_e_nome(d->linea), cartella_e_nome(d->treno)});
    scrivi_flusso(stderr, "watch: the page is at http://127.0.0.1:" + std::to_string(os.porta) + "/ (Ctrl-C ends)\n");
    return esegui_watch(*os.sorveglianza, p, ingressi, uscita, stderr);
  } catch (const std::runtime_error& e) {
    segnala(std::string("watch: ") + e.what());
    return kUscitaUso;
  }
}

}  // namespace cmp
