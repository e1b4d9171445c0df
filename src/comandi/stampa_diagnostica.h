#pragma once
// The findings of a compile as a terminal shows them: FILE:LINE:COLUMN, the message, the
// source line and a caret.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "descrizioni/reperti.h"
#include "model/indice_righe.h"

namespace cmp {

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

// One entry of a command's "avvisi" in --json: every warning has the same keys (codice,
// posizione, file, riga, colonna, messaggio), null where it has no value.
std::string json_avviso(const reperto& r, const std::string& linea, const std::string& treno);

// The path of the text a finding is in.
inline const std::string& file_del_reperto(const reperto& r, const std::string& linea, const std::string& treno) {
  return r.testo == testo_descrizione::linea ? linea : treno;
}

}  // namespace cmp
