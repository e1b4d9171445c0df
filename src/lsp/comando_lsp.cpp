#include "lsp/comando_lsp.h"

#include <unistd.h>

#include <cstdio>

#include "disco/cartella_disco.h"
#include "lsp/server_lsp.h"
#include "errori/stati_uscita.h"
#include "messaggi/messaggi.h"
#include "messaggi/uscita_standard.h"

namespace cmp {
namespace {

constexpr const char* kAiutoLsp =
    "usage: compattatore lsp\n"
    "\n"
    "A Language Server Protocol server for line and train descriptions, on standard\n"
    "input and output (JSON-RPC with Content-Length headers). An editor starts it and\n"
    "talks to it; as you type it shows the readers' error, the finishing pass's warnings\n"
    "11 to 13 and error 1250/1251 at their rows (not the warnings 201 to 203 of the check\n"
    "over the texts), what a row means where the cursor is (hover), the keywords valid at\n"
    "a place (completion) and an outline of the sections. It compiles in memory: it never\n"
    "writes or deletes a file.\n"
    "A train description <NAME>_<NUMBER>-.txt is compiled with <NAME>_linea.txt of the same\n"
    "folder (the open one, else the file on disk).\n"
    "\n"
    "Exit status: 0 after shutdown and exit, 1 when the input ends or exit comes without\n"
    "shutdown.\n";

// A file beside an open document, read as it is on disk; nothing when it cannot be read.
// Only a regular file: a FIFO or a device there would hold up every answer.
std::optional<std::string> leggi_da_disco(const std::string& percorso) {
  try {
    return leggi_file(percorso, kMassimoLettura, letture::solo_file);
  } catch (const ErroreFile&) {
    return std::nullopt;
  }
}

}  // namespace

int comando_lsp(const std::vector<std::string>& argomenti) {
  if (!argomenti.empty() && argomenti[0] == "--help") {
    stampa_uscita(kAiutoLsp);
    return kUscitaPulita;
  }
  for (const auto& a : argomenti) {
    // Clients commonly pass --stdio; standard input and output are the only channel anyway.
    if (a != "--stdio") {
      segnala("lsp: unknown option '" + a + "' (try 'compattatore lsp --help')");
      return kUscitaUso;
    }
  }
  prepara_flussi_standard();  // a client gone away is seen as the end of the input
  SorgenteFd ingresso(STDIN_FILENO);
  DestinazioneFd uscita(STDOUT_FILENO);
  Trasporto trasporto(ingresso, uscita);
  ServerLsp server(trasporto, leggi_da_disco);
  return server.esegui();
}

}  // namespace cmp
