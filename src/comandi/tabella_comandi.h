#pragma once
// Every command in one table: its name, one-line summary, usage, options with their help,
// exit statuses and function. Dispatch, the unknown-option message and every --help text
// come from it, so a command declares its options once. The command line (riga_comando/)
// knows the commands through this header alone.
#include <cstddef>
#include <string>
#include <vector>

#include "comandi/opzioni_lette.h"

namespace cmp {

struct opzione_comando {
  const char* nome;    // "--out"
  const char* valore;  // what follows it in the help ("DIR"); nullptr for a switch
  const char* aiuto;   // one line, or several separated by '\n'
};

struct descrizione_comando {
  const char* nome;
  const char* sommario;     // the line in the general help
  const char* uso;          // after "usage: "; further lines already indented
  const char* descrizione;  // the paragraph under the usage
  std::vector<opzione_comando> opzioni;
  const char* stati_uscita;  // the closing paragraph: notes and exit statuses
  std::size_t posizionali;   // how many plain arguments it takes at most
  int (*esegui)(const opzioni_lette&);
};

const std::vector<descrizione_comando>& tabella_comandi();

// What the program does when it is given no argument: the built-in run.
int esegui_senza_argomenti();

// The options already read by the table's rules; each command checks only what the
// table cannot say (a required option, two that exclude each other).
int comando_compila(const opzioni_lette& o);
int comando_esporta(const opzioni_lette& o);
int comando_dump(const opzioni_lette& o);
int comando_plot(const opzioni_lette& o);
int comando_spiega(const opzioni_lette& o);
int comando_watch(const opzioni_lette& o);
int comando_orario(const opzioni_lette& o);

}  // namespace cmp
