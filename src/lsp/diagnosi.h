#pragma once
// The one place the language server compiles: two description texts in memory, through
// the same reader and finishing pass as the compile command, into diagnostics with their
// file, line and column, and the timetable check of the fastest run over the track they
// make. Nothing is read from or written to a disk here.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/stato.h"
#include "orario/corsa_minima.h"

namespace cmp {

enum class gravita { errore = 1, avviso = 2, informazione = 3 };

struct diagnostica_testo {
  testo_descrizione testo = testo_descrizione::nessuno;  // which of the two texts
  int riga = 0;                                          // from 1; 0 when the number has no place in the text
  int colonna = 0;                                       // from 1, in bytes
  std::int32_t numero = 0;
  std::string messaggio;  // UTF-8
  gravita livello = gravita::errore;
};

struct nomi_scenario {
  std::string nome_linea;    // UTF-8; any text when the file names tell none
  std::string numero_treno;  // UTF-8
};

// The assumptions of the timetable check, as the timetable command takes them.
struct opzioni_orario {
  ipotesi_corsa ipotesi;
  double margine_minimo = kMargineMinimoPredefinito;  // per cent
};

struct esito_diagnosi {
  std::vector<diagnostica_testo> diagnostiche;
  std::shared_ptr<const Stato> stato;         // the compiled track and entries, for hover
  std::shared_ptr<const corsa_minima> corsa;  // the fastest run; none when the compile made no track
};

// Compiles the two texts (Windows-1252 bytes) and returns every finding compile reports
// (the check over the texts, the readers' error, a 1250/1251 stop, the finishing pass's
// warnings), each at the text, line and column compile gives it; then, when the compile
// made a track (no final error), the timetable check's warnings (301, 302) at their station rows.
esito_diagnosi diagnosi_documenti(const std::string& testo_linea, const std::string& testo_treno,
                                  const nomi_scenario& nomi, const opzioni_orario& orario = {});

}  // namespace cmp
