#pragma once
// What the readers skip in silence, told to the author as warnings. The check runs over
// the texts apart from the compile, so the binary files never change because of it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/parole_chiave.h"

namespace cmp {

struct avviso_testo {
  int codice;
  int riga;
  int colonna;
  std::string messaggio;  // UTF-8
};

// The warnings of one description text (Windows-1252 bytes), in the order of its lines.
// Linear in the text: each keyword field is scanned once for the words the readers look
// for, and only a field no longer than the longest keyword plus the edits a slip may
// take on it (37 bytes) is compared with the keywords, in a band of the edit table.
std::vector<avviso_testo> controlla_testo(std::string_view testo, formato_descrizione formato);

// A UTF-8 text turned into Windows-1252 (a byte-order mark dropped), or the place and the
// reason it cannot be: a malformed sequence or a character the code page cannot hold.
// One pass over the text; the place of a fault is found from a line index built once.
struct conversione_utf8 {
  std::string testo;
  std::optional<avviso_testo> errore;
};
conversione_utf8 converti_da_utf8(std::string_view utf8);

}  // namespace cmp
