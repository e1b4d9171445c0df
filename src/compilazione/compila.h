#pragma once
// The one compile of a scenario: two description texts in, the compiled state and what
// happened out. Every command that compiles (the built-in run, compile, plot) and the fuzz
// targets go through `compila_descrizioni`; nothing here touches a file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/nomi_file.h"
#include "model/stato.h"
#include "reader/comune/righe_lette.h"

namespace cmp {

// A reserved slot found already in use after the finishing pass: " Errore n. " and the
// number is shown and no binary file is written.
enum class errore_finale : std::int32_t {
  nessuno = 0,
  posto_scenario = 1250,  // entry 85 `breve1` or cell 1 `parametro1`
  posto_percorso = 1251,  // entry 85 `intero4` or cell 1 `parametro2`
};

// The number one of the readers recorded, where, and why.
struct errore_lettura {
  std::int32_t codice = 0;     // 0: the readers recorded nothing
  std::int32_t posizione = 0;  // metres, for the numbers that have one
  luogo dove;                  // the keyword field of the row, or the field that failed
  std::string dettaglio;       // why a read failed (25), in plain English
};

// What a compile found, each kind kept apart.
struct esito_compilazione {
  errore_lettura lettura;  // what the readers left
  // The line reader's own error when the train reader recorded another one over it (an
  // error 15 of the line, then the train's): not the recorded number, shown as a note.
  std::optional<errore_lettura> lettura_linea;
  std::vector<avviso_finitura> avvisi;  // the finishing pass's warnings (11 to 13), in order
  errore_finale finale = errore_finale::nessuno;
  bool treno_letto = false;          // the train reader ran (or its text failed to arrive)
  std::vector<riga_sorgente> righe;  // every row taken, in reading order
  // An error or a warning was recorded (what exit status 1 and --strict look at).
  bool con_errori() const { return lettura.codice != 0 || !avvisi.empty(); }
  // The binary files may be written: there was no final error.
  bool scrivibile() const { return finale == errore_finale::nessuno; }
};

// A description text as it arrived: its bytes, or why there are none.
struct testo_in_arrivo {
  enum class stato : std::uint8_t { presente, assente, illeggibile } come = stato::presente;
  std::string_view testo;  // the caller keeps the bytes alive during the compile
  std::string motivo;      // for an unreadable text
  static testo_in_arrivo di(std::string_view t) { return {stato::presente, t, {}}; }
};

// Resets `s` to the identity, reads the line then the train description into it,
// finishes the track and sets the check codes. With `con_piano` the plan of the line is
// built too. Never throws for a bad text.
esito_compilazione compila_descrizioni(Stato& s, std::string_view linea, std::string_view treno,
                                       const identita_scenario& identita, bool con_piano);

// The same, for texts that may be missing (101 for the line) or unreadable (25).
esito_compilazione compila_testi(Stato& s, const testo_in_arrivo& linea, const testo_in_arrivo& treno,
                                 const identita_scenario& identita, bool con_piano);

// The compile in two halves, for many trains over one line (the fuzz target of the train
// reader reads the built-in line once): `compila_linea` is compila_descrizioni up to the
// end of the line reader; `compila_treno` goes on from the state it left, or from a copy
// of it, with the outcome it returned. Together they give what compila_descrizioni gives.
struct linea_compilata {
  esito_compilazione esito;
  bool treno_da_leggere = false;  // the line was read to its end
};
linea_compilata compila_linea(Stato& s, std::string_view linea, const identita_scenario& identita, bool con_piano);
esito_compilazione compila_treno(Stato& s, const linea_compilata& linea, std::string_view treno);

// The reading half alone, on a state that holds the identity and the plan setting:
// both readers, in order, as the compile runs them (the finishing pass is not run).
esito_compilazione leggi_descrizioni(Stato& s, const testo_in_arrivo& linea, const testo_in_arrivo& treno);

// The number of a final error (1250, 1251) as the message shows it.
inline std::int32_t numero_finale(errore_finale e) { return static_cast<std::int32_t>(e); }

// The finishing pass, the guard of the reserved slots (1250, then 610 and 5121, then
// 1251) and the check codes. Nothing at all without a track.
errore_finale completa_percorso(Stato& s);

// True when the reader left a track that can take the fixed values of cell 1.
bool ha_percorso(const Stato& s);

}  // namespace cmp
