#pragma once
// Every finding of a pair of description texts in one list: the check over the texts, the
// readers' error, the reserved slot's stop (1250/1251) and the finishing pass's warnings,
// each with its number, the text it is in, its line and column, and the row it belongs to.
// compile, plot, watch, the page and the language server all render this one list, so a
// finding stands at the same place whichever of them shows it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compilazione/compila.h"
#include "model/stato.h"

namespace cmp {

enum class genere_reperto : std::uint8_t {
  testo,     // the check over the texts (warnings 201 and on)
  lettura,   // the readers' error
  finale,    // a reserved slot already in use (1250, 1251)
  finitura,  // a warning of the finishing pass
  orario,    // the timetable check (301, 302): never part of a compile's outcome
};

// The line's own error when the train's replaced it: shown as a note under the train's.
struct nota_reperto {
  std::int32_t numero = 0;
  std::int32_t posizione = 0;
  testo_descrizione testo = testo_descrizione::linea;
  int riga = 0;     // from 1; 0 when it has no line
  int colonna = 0;  // from 1, in bytes
  std::string messaggio;
};

struct reperto {
  genere_reperto genere = genere_reperto::testo;
  std::int32_t numero = 0;
  bool errore = false;                                   // false: a warning
  testo_descrizione testo = testo_descrizione::nessuno;  // the text it is in; nessuno: no place known
  int riga = 0;                                          // from 1; 0 when it has no line
  int colonna = 0;                                       // from 1, in bytes
  const riga_sorgente* sorgente = nullptr;               // the row it belongs to, among the outcome's rows
  std::optional<std::int32_t> posizione;                 // metres on the track, when it has one
  // As compile prints it: UTF-8 for the check over the texts; the others quote the
  // text's own bytes (Windows-1252, or whatever the field held).
  std::string messaggio;
  std::optional<nota_reperto> nota;  // the readers' error only
};

// The findings of one compile, in the order standard error shows them: the check over the
// line then the train, the readers' error, the reserved slot's row, the finishing pass.
// The texts are the Windows-1252 bytes that were compiled; `s` and `esito` are that
// compile's state and outcome (the findings point into `esito.righe`).
std::vector<reperto> reperti_compilazione(const Stato& s, const esito_compilazione& esito, std::string_view testo_linea,
                                          std::string_view testo_treno);

// A description text's bytes and what compiled them: the state, the outcome and the findings.
// Not copied: the findings point into the outcome's rows (a move keeps them).
struct analisi_descrizioni {
  analisi_descrizioni() = default;
  analisi_descrizioni(analisi_descrizioni&&) = default;
  analisi_descrizioni& operator=(analisi_descrizioni&&) = default;
  analisi_descrizioni(const analisi_descrizioni&) = delete;
  analisi_descrizioni& operator=(const analisi_descrizioni&) = delete;

  esito_compilazione esito;
  std::vector<reperto> reperti;
  // A warning of the check over the texts was found (what makes status 1 with a clean compile).
  bool con_avvisi_testo() const;
  // Status 1 and --strict look at this: an error or a warning of any kind.
  bool con_errori() const { return esito.con_errori() || con_avvisi_testo(); }
};

// compila_descrizioni and the findings of its outcome, together.
analisi_descrizioni analizza_descrizioni(Stato& s, std::string_view testo_linea, std::string_view testo_treno,
                                         const identita_scenario& identita, bool con_piano);

}  // namespace cmp
