#pragma once
// What the commands that compile a user's descriptions (compile, plot) share: the identity
// from the options or the file names, the two texts read from disk, and the diagnostics.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "descrizioni/avvisi_testo.h"
#include "descrizioni/reperti.h"
#include "compilazione/compila.h"
#include "model/indice_righe.h"
#include "comandi/opzioni_lette.h"
#include "disco/cartella.h"
#include "model/stato.h"

namespace cmp {

struct descrizioni_utente {
  std::string linea;         // the paths as given
  std::string treno;
  std::string nome_linea;    // UTF-8, checked
  std::string numero_treno;  // UTF-8, checked
  std::string testo_linea;   // the bytes of the files
  std::string testo_treno;
};

// A run refused with status 3: the line printed and the file it concerns, for --json.
struct rifiuto {
  std::string messaggio;
  std::optional<std::string> file;
};
// Prints the line (as `segnala`) and, when `r` is given, keeps it there.
void rifiuta(rifiuto* r, const std::string& messaggio, std::optional<std::string> file = std::nullopt);

// The options --line, --train, --nome-linea and --numero-treno: the identity (given, or
// taken from the file names) checked, then both texts read from `ingressi`, by the names
// given. On a fault it prints one line (usage faults start with the command's name) and
// returns nullopt: exit with kUscitaUso.
std::optional<descrizioni_utente> leggi_descrizioni_utente(const opzioni_lette& o, const std::string& comando,
                                                           Cartella& ingressi, rifiuto* r = nullptr);

// The identity of the descriptions, in Windows-1252 as the compile takes it.
identita_scenario identita_di(const descrizioni_utente& d);

// A folder named on the command line: when it is missing, not a folder or, to be
// written into, not writable, one line on standard error says so and the answer is false.
bool cartella_valida(Cartella& cartella, bool da_scrivere, rifiuto* r = nullptr);
// The folder given to --out: created with its parents when missing (as `cmake -B` does),
// then checked as above.
bool cartella_uscita_pronta(Cartella& cartella, rifiuto* r = nullptr);

// "cannot write FILE: REASON", the line every command gives for a file it could not write.
std::string non_scritto(const ErroreFile& e);

// True when writing `uscita` would replace one of the inputs.
bool sovrascrive(const std::string& uscita, const std::vector<std::string>& ingressi);


// The source line under a diagnostic, and a caret under its column; nothing for a line
// longer than 200 bytes or holding control bytes.
std::string riga_e_cursore(const IndiceRighe& testo, int riga, int colonna);


// The most warnings one run prints on standard error (and lists in --json): a text may
// hold a misspelt keyword on every line, and a track a warning at every cell. The
// warnings past them are counted in one closing line. Errors are always printed (there
// are two at most: the readers' and the reserved slot's).
inline constexpr std::size_t kAvvisiMostrati = 100;

// The findings one run prints (and lists in --json): every error, and the first
// kAvvisiMostrati warnings in the list's order.
std::vector<const reperto*> reperti_mostrati(const std::vector<reperto>& reperti);

// The diagnostics of a compile on standard error, as FILE:LINE:COLUMN: error N: message
// with the source line and a caret, in the order of the list; past kAvvisiMostrati
// warnings, one line with the count of the rest, which is returned. Each text's line
// index is built once for all of its messages.
std::size_t stampa_diagnostica(const std::vector<reperto>& reperti, const std::string& linea, const std::string& treno,
                               std::string_view testo_linea, std::string_view testo_treno);

// The path of the text a finding is in.
inline const std::string& file_del_reperto(const reperto& r, const std::string& linea, const std::string& treno) {
  return r.testo == testo_descrizione::linea ? linea : treno;
}

// --encoding: "windows-1252" (the default) or "utf-8", checked; nullopt after one line
// naming the command when the option holds anything else.
std::optional<std::string> codifica_scelta(const opzioni_lette& o, const std::string& comando, rifiuto* r = nullptr);
// With utf-8, both texts turned into Windows-1252 before reading; false (after one
// diagnostic naming the place) when a text holds what the code page cannot.
bool converti_descrizioni(descrizioni_utente& d, const std::string& codifica, rifiuto* r = nullptr);

}  // namespace cmp
