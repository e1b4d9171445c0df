#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/stato.h"
#include "orario/corsa_minima.h"
#include "reader/comune/righe_lette.h"

namespace cmp {

// A description text the page links its objects to.
struct testo_sorgente {
  std::string nome;      // UTF-8, shown in tooltips: "FILE:LINE"
  std::string percorso;  // UTF-8, put into the editor link in place of {path}
};

// A diagnostic of the compile, drawn at its kilometre.
struct diagnostica_pagina {
  std::optional<std::int64_t> metro;  // position on the track, when it has one
  bool errore = true;                 // false: a warning
  int codice = 0;
  std::string messaggio;  // UTF-8
  int file = -1;          // index into the texts, -1 when it points into none
  int riga = 0;
  int colonna = 0;
};

struct opzioni_pagina {
  std::vector<testo_sorgente> testi;  // the line first, then the train; empty when drawn from binary files
  righe_lette righe;                  // the rows the readers took (the compile's record), when there are texts
  std::string modello_editor;         // "vscode://file/{path}:{line}:{column}"; empty: no links
  std::vector<diagnostica_pagina> diagnostiche;
  // When set, the page checks this file (beside it) now and then and reloads itself when
  // its content changes; a plain picture leaves it empty and never polls anything.
  std::string file_ricarica;
  // The fastest run the page draws, as the command worked it out; none: the page works it
  // out itself with the default assumptions (a page drawn from the compiled files).
  std::optional<corsa_minima> corsa;
  double margine_minimo = kMargineMinimoPredefinito;  // per cent: a station below it is marked
};

// The compiled line as one self-contained interactive HTML page (UTF-8): the data as JSON,
// the script and the style inline, nothing loaded from anywhere. The same state and
// options always give the same bytes.
std::string disegna_pagina(const Stato& s, const opzioni_pagina& o);

}  // namespace cmp
