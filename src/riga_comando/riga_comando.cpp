#include "riga_comando/riga_comando.h"

#include <cstdio>

#include "comandi/avvio.h"
#ifdef COMPATTATORE_LSP
#include "lsp/comando_lsp.h"
#endif

namespace cmp {
namespace {

constexpr const char* kAiuto =
    "usage: compattatore [COMMAND [OPTIONS]]\n"
    "\n"
    "Without arguments: the built-in run. Writes the built-in scenario VallorsaC_Pietrana\n"
    "(train 4721) into the program's folder as two description texts and three crew\n"
    "documents, compiles the descriptions (and deletes them) and writes the binary files\n"
    "VallorsaC_Pietrana_linea.dat, VallorsaC_Pietrana_4721.sim and VallorsaC_Pietrana_4721.dat.\n"
    "\n"
    "Commands:\n"
    "  compile   compile a line and a train description into the binary files\n"
    "  export    write the built-in descriptions and crew documents as a starting point\n"
    "  dump      decode a binary scenario file into a readable listing or JSON\n"
    "  plot      draw the compiled line (plan and profiles) as one SVG page\n"
#ifdef COMPATTATORE_LSP
    "  lsp       a language server for editors: errors as you type, hover, completion\n"
#endif
    "\n"
    "Options:\n"
    "  --help     this text; 'compattatore COMMAND --help' describes a command\n"
    "  --version  the program's version\n"
    "\n"
    "Exit status: 0 clean, 1 a description error was recorded, 2 error 1250/1251\n"
    "(no binary file written), 3 a usage error or a file that cannot be read or written.\n";

}  // namespace

void segnala(const std::string& testo) {
  std::fprintf(stderr, "compattatore: %s\n", testo.c_str());
  std::fflush(stderr);
}

int esegui_riga_comando(const std::vector<std::string>& argomenti) {
  if (argomenti.empty()) return esegui_run_incorporato();
  const std::string& comando = argomenti[0];
  const std::vector<std::string> resto(argomenti.begin() + 1, argomenti.end());
  if (comando == "--help" || comando == "-h" || comando == "help") {
    std::fputs(kAiuto, stdout);
    return kUscitaPulita;
  }
  if (comando == "--version") {
    std::puts("compattatore 1.0.0");
    return kUscitaPulita;
  }
  if (comando == "compile") return comando_compila(resto);
  if (comando == "export") return comando_esporta(resto);
  if (comando == "dump") return comando_dump(resto);
  if (comando == "plot") return comando_plot(resto);
#ifdef COMPATTATORE_LSP
  if (comando == "lsp") return comando_lsp(resto);
#endif
  segnala("unknown command '" + comando + "' (try 'compattatore --help')");
  return kUscitaUso;
}

}  // namespace cmp
