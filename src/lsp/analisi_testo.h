#pragma once
// A description text split into rows the way an editor sees it: one row a line, its
// keyword recognised from the keyword table, its fields with their columns. For hover,
// completion and the outline; the compile itself always goes through the readers.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reader/parole_chiave.h"

namespace cmp {

struct campo_letto {
  std::string testo;  // without the blanks around it
  int inizio = 0;     // columns from 0, in bytes of the Windows-1252 text
  int fine = 0;
};

struct riga_letta {
  int numero = 0;                         // line, from 0
  std::string sezione;                    // the last header above it, lower-cased ("" before any)
  bool intestazione = false;              // the line is a section header
  bool generale = false;                  // a row of the general part (before the first header after [generale])
  const parola_chiave* parola = nullptr;  // the keyword recognised, if any
  campo_letto chiave;
  std::vector<campo_letto> campi;  // the fields after the keyword, as the table's fields take them
};

// The keyword whose words the field holds, as the readers test it (lower-cased, every word
// contained), for a row of the general part or not.
const parola_chiave* riconosci_parola(std::string_view campo, formato_descrizione f, bool generale);

// Every line of the text (Windows-1252 bytes; CR LF or LF).
std::vector<riga_letta> analizza_testo(std::string_view testo, formato_descrizione f);

// The format of a text by its content: nullopt when nothing in it tells.
std::optional<formato_descrizione> formato_dal_contenuto(std::string_view testo);

// The row of line `riga` (from 0), or nullptr when the text has no such line.
const riga_letta* riga_di(const std::vector<riga_letta>& righe, int riga);

// A field as a whole number ("+" allowed in front), or nullopt.
std::optional<long long> numero_del_campo(const std::string& testo);

// "km 6+600" for 6600 m.
std::string chilometro(long long metri);

// The cell a row's first field lands on (nullopt for rows without a position, and for
// stations: their stop cell comes from the compiled entry).
std::optional<long long> cella_della_riga(const parola_chiave& p, long long posizione);

}  // namespace cmp
