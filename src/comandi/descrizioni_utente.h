#pragma once
// What the commands that compile a user's descriptions (compile, plot, watch) share: the
// identity from the options or the file names, and the two texts read and converted.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "descrizioni/avvisi_testo.h"
#include "descrizioni/reperti.h"
#include "compilazione/compila.h"
#include "model/indice_righe.h"
#include "comandi/opzioni_lette.h"
#include "comandi/rifiuto.h"
#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

struct descrizioni_utente {
  std::string linea;  // the paths as given
  std::string treno;
  std::string nome_linea;    // UTF-8, checked
  std::string numero_treno;  // UTF-8, checked
  std::string testo_linea;   // the bytes of the files
  std::string testo_treno;
};

// The options --line, --train, --nome-linea and --numero-treno: the identity (given, or
// taken from the file names) checked, then both texts read from `ingressi`, by the names
// given. On a fault it prints one line (usage faults start with the command's name) and
// returns nullopt: exit with kUscitaUso.
std::optional<descrizioni_utente> leggi_descrizioni_utente(const opzioni_lette& o, const std::string& comando,
                                                           Cartella& ingressi, rifiuto* r = nullptr);

// The identity of the descriptions, in Windows-1252 as the compile takes it.
identita_scenario identita_di(const descrizioni_utente& d);

// --encoding: "windows-1252" (the default) or "utf-8", checked; nullopt after one line
// naming the command when the option holds anything else.
std::optional<std::string> codifica_scelta(const opzioni_lette& o, const std::string& comando, rifiuto* r = nullptr);
// With utf-8, both texts turned into Windows-1252 before reading; false (after one
// diagnostic naming the place) when a text holds what the code page cannot.
bool converti_descrizioni(descrizioni_utente& d, const std::string& codifica, rifiuto* r = nullptr);

}  // namespace cmp
