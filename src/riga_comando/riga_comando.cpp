#include "riga_comando/riga_comando.h"

#include <algorithm>
#include <string_view>

#include "comandi/tabella_comandi.h"
#include "errori/stati_uscita.h"
#include "messaggi/json.h"
#include "messaggi/messaggi.h"
#include "messaggi/uscita_standard.h"
#include "model/somiglianza.h"
#include "model/versione.h"
#include "riga_comando/aiuto.h"
#include "riga_comando/opzioni.h"

namespace cmp {
namespace {

// Whether a command that answers in JSON was asked to, even when its options are wrong.
bool chiede_json(const descrizione_comando& c, const std::vector<std::string>& argomenti) {
  const bool ha_json = std::any_of(c.opzioni.begin(), c.opzioni.end(),
                                   [](const auto& o) { return std::string_view(o.nome) == "--json"; });
  return ha_json && std::find(argomenti.begin(), argomenti.end(), "--json") != argomenti.end();
}

// Reads the command's options by its row of the table, then runs it.
int esegui_comando(const descrizione_comando& c, const std::vector<std::string>& argomenti) {
  std::set<std::string> con_valore, interruttori{"--help", "-h"};
  for (const auto& o : c.opzioni) (o.valore ? con_valore : interruttori).insert(o.nome);
  const auto o = leggi_opzioni(argomenti, con_valore, interruttori, c.posizionali);
  if (o.ha("--help") || o.ha("-h")) {
    stampa_uscita(aiuto_comando(c));
    return kUscitaPulita;
  }
  if (o.errore) {
    const std::string messaggio =
        std::string(c.nome) + ": " + *o.errore + " (try 'compattatore " + c.nome + " --help')";
    segnala(messaggio);
    if (chiede_json(c, argomenti)) stampa_uscita(json_rifiuto(messaggio, std::nullopt) + "\n");
    return kUscitaUso;
  }
  return c.esegui(o);
}

const descrizione_comando* comando_di_nome(const std::string& nome) {
  for (const auto& c : tabella_comandi()) {
    if (nome == c.nome) return &c;
  }
  return nullptr;
}

// An unknown word where a command goes: an option the program does not have, or a
// command, with the nearest one named.
int comando_sconosciuto(const std::string& parola) {
  const bool opzione = parola.size() > 1 && parola[0] == '-';
  std::vector<std::string> note;
  if (opzione) {
    note = {"--help", "--version"};
  } else {
    for (const auto& c : tabella_comandi()) note.push_back(c.nome);
    note.push_back("help");
  }
  std::string testo = std::string(opzione ? "unknown option '" : "unknown command '") + parola + "'";
  if (const auto vicina = parola_vicina(parola, note)) testo += "; did you mean '" + *vicina + "'?";
  segnala(testo + " (try 'compattatore --help')");
  return kUscitaUso;
}

int esegui_argomenti(const std::vector<std::string>& argomenti) {
  const std::string& comando = argomenti[0];
  if (comando == "help" && argomenti.size() == 2) {
    if (const auto* c = comando_di_nome(argomenti[1])) {
      stampa_uscita(aiuto_comando(*c));
      return kUscitaPulita;
    }
    return comando_sconosciuto(argomenti[1]);
  }
  if (comando == "--help" || comando == "-h" || comando == "help") {
    if (argomenti.size() > 2) {
      segnala("help takes one command at most (try 'compattatore --help')");
      return kUscitaUso;
    }
    stampa_uscita(aiuto_generale());
    return kUscitaPulita;
  }
  if (comando == "__completamento_bash") {
    stampa_uscita(completamento_bash());
    return kUscitaPulita;
  }
  if (comando == "--version" || comando == "-V") {
    stampa_uscita(std::string("compattatore ") + kVersione + "\n");
    return kUscitaPulita;
  }
  if (const auto* c = comando_di_nome(comando)) {
    return esegui_comando(*c, std::vector<std::string>(argomenti.begin() + 1, argomenti.end()));
  }
  return comando_sconosciuto(comando);
}

}  // namespace

int esegui_riga_comando(const std::vector<std::string>& argomenti) {
  if (argomenti.empty()) return esegui_senza_argomenti();
  const int stato = esegui_argomenti(argomenti);
  chiudi_uscita_standard();
  return stato;
}

}  // namespace cmp
