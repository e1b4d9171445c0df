#pragma once
#include <cstdint>
#include <string>

#include "model/stato.h"

namespace cmp {

// A mountain row: kind `tipo` (above 10: minus 10, with a marker on every fourth cell)
// on the cells from inizio / 50 to fine / 50 - 1; kind 3 when it starts at most 150 m
// after the previous row's end. Cells outside the track are skipped (the count of the
// markers still starts at inizio / 50). The 81st row is refused with error 32.
// Throws FallimentoRiga when the gap to the previous row leaves 32 bits.
void memo_montagna(Stato& s, std::int32_t inizio, std::int32_t fine, std::int32_t tipo);

// A pair of speed-indicator boards in the cell posizione / 50 + 1: error 21 when the
// cell is taken, 31 when it lies before cell 0. Throws FallimentoRiga when a code
// does not fit 16 bits.
void memo_indicatori_v_max(Stato& s, std::int32_t posizione, std::int32_t vas, std::int32_t vbs, std::int32_t vcs,
                           std::int16_t strisces, std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                           std::int16_t strisced);

// A caption board in the cell posizione / 50 + 1, its text in entry `voce_cartello`,
// which then moves one down: error 6 when the cell is taken, 31 when it lies before
// cell 0, 33 when entries 80 down to 0 are all taken.
void memo_cartello(Stato& s, std::int32_t posizione, std::string testo);

}  // namespace cmp
