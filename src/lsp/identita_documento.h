#pragma once
// What an open document is, from its file name and, when the name follows no pattern,
// from its text.
#include <string>
#include <string_view>

#include "reader/parole_chiave.h"

namespace cmp {

struct identita_documento {
  formato_descrizione formato = formato_descrizione::linea;
  std::string nome_linea;          // UTF-8: the scenario it belongs to
  std::string numero_treno = "1";  // UTF-8
  bool per_contenuto = false;      // the name follows no pattern: the format comes from the text
  bool sconosciuto = false;        // nothing tells the format: not compiled
};

// <NAME>_linea.txt is the line of NAME, <NAME>_<NUMBER>-.txt train NUMBER of NAME (train
// 1 when NUMBER is empty). Any other name: the format the text (UTF-8) shows, and the
// name itself as the scenario's, so that the document stands alone.
identita_documento identifica_documento(const std::string& nome_file, std::string_view testo_utf8);

}  // namespace cmp
