#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compilazione/compila.h"
#include "model/stato.h"

namespace cmp {

// The name of a cell's object, for messages ("a signal", "a caption board", ...).
std::string nome_tipo_cella(std::uint8_t tipo);

// What a message is about: the numbers its {placeholders} take.
struct contesto_messaggio {
  std::int32_t posizione = 0;           // metres: the row's own position, else the recorded one
  const riga_sorgente* riga = nullptr;  // the row the message is about, when one is known
  std::int64_t cella = 0;               // the finishing pass: the cell it recorded
  std::int64_t cella_oggetto = 0;       // the finishing pass: the signal's or the slow order's start cell
  // The rows read, for the row that holds a cell ({cella}) and the station before
  // ({stazione_precedente}); and why a read failed ({dettaglio}), else the state's.
  const esito_compilazione* esito = nullptr;
  const std::string* dettaglio = nullptr;
};

// A catalogue message with its {placeholders} filled in from the state and the context.
std::string compila_messaggio(const Stato& s, std::string_view modello, const contesto_messaggio& c);

// A plain-English explanation of an error number recorded by the readers or the
// finishing pass, with the position and the limits that apply; for callers that know
// no row (the words then take the recorded position as it is).
std::string descrivi_errore(const Stato& s, std::int32_t codice, std::int32_t posizione);

// The row a place points at among the rows the readers took, or nullptr.
const riga_sorgente* riga_in(const esito_compilazione& esito, const luogo& dove);

// A row named for a message: "the train's slow-order row at line 34".
std::string nome_riga(const riga_sorgente& r);

// The readers' error, its words and numbers from the row it points at. When the recorded
// position (or the number itself) was left by a later row, the message says which row.
std::string descrivi_lettura(const Stato& s, const esito_compilazione& esito);
// The same for another error of the readers: the line's own, which the train's replaced.
std::string descrivi_lettura(const Stato& s, const esito_compilazione& esito, const errore_lettura& e);

// What the finishing pass's warnings are about, found once for all of them: the last
// signal and slow-order row read at each cell, and the start of the slow order each cell
// lies in. A compile may leave as many warnings as its track has cells; each one is then
// a look-up, not a walk over every row or cell.
class IndiceAvvisi {
 public:
  IndiceAvvisi(const Stato& s, const esito_compilazione& esito);
  // The row a warning is about: the signal (11) or the slow order (12, 13) it was
  // recorded for; nullptr when no row fits.
  const riga_sorgente* riga(const avviso_finitura& a) const;
  // The cell of the object a warning is about: the signal's, or the slow order's start.
  std::int64_t cella_oggetto(const avviso_finitura& a) const;

 private:
  std::unordered_map<std::int64_t, const riga_sorgente*> segnali_, rallentamenti_;  // by cell
  std::vector<std::int64_t> inizio_rallentamento_;  // by cell: the nearest start at or before it, or -1
};

// The row a finishing warning is about (see IndiceAvvisi::riga).
const riga_sorgente* riga_dell_avviso(const IndiceAvvisi& indice, const avviso_finitura& a);
// The warning's message, with that row's own position and the cell the pass worked on.
std::string descrivi_avviso(const Stato& s, const IndiceAvvisi& indice, const avviso_finitura& a);

// Which of the two description files the reader's error points into.
std::string file_del_luogo(const errore_lettura& e, const std::string& linea, const std::string& treno);

// The row whose mark most likely took the reserved slot of cell 1 (error 1250/1251):
// a board or caption within 24 m of 0, a slow order starting there, an abbattimento point
// on cell 1; nullptr when no row can be named (the finishing pass placed the mark).
const riga_sorgente* riga_del_posto_occupato(const esito_compilazione& esito);
// The message for that row: which row, and why it is blamed.
std::string messaggio_posto_occupato(const riga_sorgente& r, errore_finale finale);

}  // namespace cmp
