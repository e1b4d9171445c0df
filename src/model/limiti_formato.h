#pragma once
// What the three binary files of a compile can hold, derived here and nowhere else from
// the format's own limits: a line of 0 to 1,000,000 m, 7,000 m of run-out, a cell every
// 50 m, records of the sizes their field lists give (model/stato.h), texts counted in 16
// bits. The readers refuse what goes beyond them, the decoders call it damaged, and dump
// and plot read no more than the largest file of each kind.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "model/stato.h"

namespace cmp::limiti_file {

inline constexpr std::int64_t lunghezza_massima = 1'000'000;  // metres of line (error 1 beyond)
inline constexpr std::int64_t metri_oltre_linea = 7'000;      // the run-out after the line's end
inline constexpr std::int64_t metri_cella = 50;
// A text of an entry (a caption, a station name) is counted in 16 bits in the file.
inline constexpr std::size_t byte_testo_voce = std::numeric_limits<std::uint16_t>::max();

// Metres (rows) of the plan of a line of L metres: 0 to L + 7000.
constexpr std::size_t righe_di(std::int64_t lunghezza) {
  return static_cast<std::size_t>(lunghezza + metri_oltre_linea + 1);
}
// Cells of its track: round((L + 7000) / 50) + 1, for the two ends where the division is exact.
constexpr std::size_t celle_esatte_di(std::int64_t lunghezza) {
  return static_cast<std::size_t>((lunghezza + metri_oltre_linea) / metri_cella + 1);
}
// Metres and cells. A position over the cell size, as a double: the readers round it their
// own way (halves to the even cell, or one cell further on for signals and boards).
constexpr double in_celle(double metri) { return metri / static_cast<double>(metri_cella); }
// The whole cells in `metri` (integer division), and the first metre of cell `cella`.
template <typename Intero>
constexpr Intero celle_intere(Intero metri) {
  return metri / static_cast<Intero>(metri_cella);
}
template <typename Intero>
constexpr Intero metri_di_cella(Intero cella) {
  return cella * static_cast<Intero>(metri_cella);
}
// True when `metri` falls on a cell boundary (stations, repetition points, their areas).
template <typename Intero>
constexpr bool su_griglia(Intero metri) {
  return metri % static_cast<Intero>(metri_cella) == 0;
}

// The stop cell of a station entry: the one just before the cell its area ends on (whole,
// since the end lies on the grid).
template <typename Voce>
constexpr std::int64_t cella_fermata(const Voce& v) {
  return celle_intere(std::int64_t{fine_area(v)}) - 1;
}

static_assert(metri_oltre_linea % metri_cella == 0 && lunghezza_massima % metri_cella == 0,
              "the shortest and the longest track are whole cells");

inline constexpr std::size_t righe_minime = righe_di(0);                          // 7,001
inline constexpr std::size_t righe_massime = righe_di(lunghezza_massima);         // 1,007,001
inline constexpr std::size_t celle_minime = celle_esatte_di(0);                   // 141
inline constexpr std::size_t celle_massime = celle_esatte_di(lunghezza_massima);  // 20,141

// A tagged value of the plan: a 16-bit type code, then nothing, a 16-bit integer or a double.
inline constexpr std::size_t byte_valore_vuoto = 2;
inline constexpr std::size_t byte_valore_intero = 2 + 2;
inline constexpr std::size_t byte_valore_doppio = 2 + 8;

// The largest file of each kind a compile writes:
// - the track of the longest line: 20,141 cells of 15 bytes;
inline constexpr std::size_t byte_percorso_massimi = celle_massime * kByteCella;
// - the scenario table: 87 entries, each with the longest text;
inline constexpr std::size_t byte_scenario_massimi = kVociScenario * (kByteVoceSenzaTesto + byte_testo_voce);
// - the plan of the longest line: two columns of metres 0 and 1 as integers, doubles, and
//   the last two metres empty.
inline constexpr std::size_t byte_colonna_massimi =
    2 * byte_valore_intero + (righe_massime - 4) * byte_valore_doppio + 2 * byte_valore_vuoto;
inline constexpr std::size_t byte_tabella_massimi = 2 * byte_colonna_massimi;

static_assert(byte_percorso_massimi == 302'115);
static_assert(byte_scenario_massimi == 5'704'503);
static_assert(byte_tabella_massimi == 20'139'964);

// The sharpest curve turns each metre's step by 0.003: its length grows by the factor
// sqrt(1 + 0.003^2) at most, and never shrinks.
inline constexpr double curvatura_massima = 0.003;
// The fixed values the finishing pass writes into every compiled scenario.
inline constexpr std::int16_t valore_fisso_scenario = 610;   // entry 85, breve1
inline constexpr std::int16_t valore_fisso_percorso = 5121;  // cell 1, parametro1

}  // namespace cmp::limiti_file
