#pragma once
// Every command in one table: its name, one-line summary, usage, options with their help,
// exit statuses and function. Dispatch, the unknown-option message and every --help text
// come from it, so a command declares its options once.
#include <cstddef>
#include <string>
#include <vector>

#include "riga_comando/opzioni.h"

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

// `compattatore NAME --help`, and `compattatore --help`.
std::string aiuto_comando(const descrizione_comando& c);
std::string aiuto_generale();
// The bash completion script, from the table (printed by the hidden command
// `compattatore __completamento_bash`, which the build runs to install it).
std::string completamento_bash();

// The options already read by the table's rules; each command checks only what the
// table cannot say (a required option, two that exclude each other).
int comando_compila(const opzioni_lette& o);
int comando_esporta(const opzioni_lette& o);
int comando_dump(const opzioni_lette& o);
int comando_plot(const opzioni_lette& o);
int comando_spiega(const opzioni_lette& o);
int comando_watch(const opzioni_lette& o);

}  // namespace cmp
