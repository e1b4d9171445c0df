#pragma once
#include <cstdint>
#include <string_view>

#include "model/stato.h"
#include "reader/line/lettore_linea.h"

namespace cmp {

// Error numbers of the train description that guard the ends of the track: rows the
// other numbers let through but whose cells would lie before cell 0 or past the last cell.
namespace errore_treno {
// A signal whose approach markers would fall before cell 0: its cell is below 8, i.e. it
// stands within the first 350 m of the track (or at a negative position).
inline constexpr std::int32_t segnale_presso_inizio = 41;
// A slow order at a negative position or with a negative length, or an abbattimento
// point at a negative position.
inline constexpr std::int32_t posizione_negativa = 42;
// A slow order whose end cell lies beyond the last cell of the track.
inline constexpr std::int32_t fine_rallentamento_oltre = 43;
// A station (kind below 25) whose stop cell lies beyond the last cell of the track.
inline constexpr std::int32_t stazione_oltre = 44;
}  // namespace errore_treno

// The second half of `memorizza_dati`: compiles the train description text
// (Windows-1252 bytes) into the track and `scenario`, on the track the line left.
// Returns `completa` after a normal end or error 15, `interrotta` after any other
// stop, `fallita` after a reading failure (error 25). The caller deletes the text.
esito_lettura leggi_descrizione_treno(Stato& s, std::string_view testo);

}  // namespace cmp
