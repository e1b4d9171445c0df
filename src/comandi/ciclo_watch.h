#pragma once
// watch's loop, on whatever the system gives through Sorveglianza: a rebuild at start,
// then one after each burst of saves, until the request to end.
#include <cstdio>
#include <string>

#include "comandi/opzioni_lette.h"
#include "disco/cartella.h"
#include "sorveglianza/sorveglianza.h"

namespace cmp {

// Saves closer together than this make one rebuild: an editor's save is often a write,
// a rename and a change of attributes in a few milliseconds.
constexpr int kQuieteMs = 100;

struct parametri_watch {
  opzioni_lette opzioni;  // --line, --train and the identity options, read again at every rebuild
  std::string uscita;     // the folder of the binary files and the page
  std::string modello_editor;
  std::string codifica = "windows-1252";  // --encoding, checked at start
};

// The page's file name in the out folder: <NAME>_<NUMBER>.html.
std::string nome_pagina_watch(const std::string& nome_linea, const std::string& numero_treno);

// One rebuild: the descriptions read from `ingressi` by the names given, the binary
// files written into `uscita` as compile writes them, the page written beside them and
// handed to `os`; the diagnostics on standard error as compile prints them, then one
// status line on `stato`. `numero` counts the rebuilds and is the page's version.
void ricostruisci(Sorveglianza& os, const parametri_watch& p, Cartella& ingressi, Cartella& uscita, int numero,
                  std::FILE* stato);

// Runs until SIGINT or SIGTERM; a description error never ends it. Returns the exit status (0).
int esegui_watch(Sorveglianza& os, const parametri_watch& p, Cartella& ingressi, Cartella& uscita, std::FILE* stato);
// The same on disk: the descriptions' paths as given, the folder p.uscita.
int esegui_watch(Sorveglianza& os, const parametri_watch& p, std::FILE* stato);

}  // namespace cmp
