#include "riga_comando/riga_comando.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "riga_comando/json.h"
#include "comandi/avvio.h"
#include "riga_comando/tabella_comandi.h"

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
  std::set<std::string> con_valore, interruttori{"--help"};
  for (const auto& o : c.opzioni) (o.valore ? con_valore : interruttori).insert(o.nome);
  const auto o = leggi_opzioni(argomenti, con_valore, interruttori, c.posizionali);
  if (o.ha("--help")) {
    std::fputs(aiuto_comando(c).c_str(), stdout);
    return kUscitaPulita;
  }
  if (o.errore) {
    const std::string messaggio = std::string(c.nome) + ": " + *o.errore + " (try 'compattatore " + c.nome + " --help')";
    segnala(messaggio);
    if (chiede_json(c, argomenti)) std::printf("%s\n", json_rifiuto(messaggio, std::nullopt).c_str());
    return kUscitaUso;
  }
  return c.esegui(o);
}

}  // namespace

void segnala(const std::string& testo) {
  std::fprintf(stderr, "compattatore: %s\n", testo.c_str());
  std::fflush(stderr);
}

int esegui_riga_comando(const std::vector<std::string>& argomenti) {
  if (argomenti.empty()) return esegui_run_incorporato();
  const std::string& comando = argomenti[0];
  if (comando == "--help" || comando == "-h" || comando == "help") {
    std::fputs(aiuto_generale().c_str(), stdout);
    return kUscitaPulita;
  }
  if (comando == "--version") {
    std::puts("compattatore 1.0.0");
    return kUscitaPulita;
  }
  for (const auto& c : tabella_comandi()) {
    if (comando == c.nome) return esegui_comando(c, std::vector<std::string>(argomenti.begin() + 1, argomenti.end()));
  }
  segnala("unknown command '" + comando + "' (try 'compattatore --help')");
  return kUscitaUso;
}

}  // namespace cmp
