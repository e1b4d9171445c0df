#pragma once
// The row work of the train reader, shared by its source files.
#include <cstdint>
#include <string>

#include "model/stato.h"
#include "reader/comune/aritmetica_32.h"
#include "reader/comune/esito_riga.h"
#include "reader/comune/lettore_campi.h"

namespace cmp {
// Packed codes keep their low bits.
inline std::int16_t bassi_16(std::int32_t v) { return static_cast<std::int16_t>(v); }
inline std::uint8_t bassi_8(std::int32_t v) { return static_cast<std::uint8_t>(v); }

// The cell of a position: metri / 50 + scarto, rounded, halves to the even one.
std::int64_t cella_di(std::int64_t metri, int scarto);

// The position check of the rows: true when (posizione + margine) / 50, taken exactly,
// lies beyond the last cell.
bool oltre_percorso(const Stato& s, std::int32_t posizione, std::int32_t margine);

// Signals.
struct riga_segnale {
  std::int32_t posizione = 0, sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0, tempo = 0;
};
// Stores the signal; raises `r.tempo`. Refuses through `codice_errore` (16, 41).
void memo_segnale(Stato& s, riga_segnale& r);
esito_riga riga_segnale_letta(Stato& s, LettoreCampi& lettore, const luogo& riga);

// Slow orders and abbattimento points.
struct riga_rallentamento {
  std::int32_t x = 0, v = 0, l = 0, f_tt = 0, f_ta = 0, d_v = 0;
};
// Stores the slow order. Refuses through `codice_errore` (17 to 20, 42, 43).
void memo_rallentamento(Stato& s, const riga_rallentamento& r);
esito_riga riga_rallentamento_letta(Stato& s, LettoreCampi& lettore, const luogo& riga);
esito_riga riga_abbattimento_letta(Stato& s, LettoreCampi& lettore, const luogo& riga);

// Stations: `contatore` is the entry the row fills (from 1).
esito_riga riga_stazione_letta(Stato& s, LettoreCampi& lettore, const luogo& riga, std::int32_t& contatore);

}  // namespace cmp
