#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/stato.h"

namespace cmp {

// The cursors of the row section, reset at its start.
struct cursori_righe {
  std::int64_t pendenza_cella = 0;       // next cell to receive a gradient
  std::int32_t pendenza_precedente = 0;  // per mille, holds until the next gradient row
  std::int64_t piano_metro = 2;          // next metre of the plan to compute
};

// Metres 0 and 1 of the plan: (0, 0) and (0, 1), as 16-bit integers. The plan must exist.
void avvia_piano(Stato& s);

// A gradient row at position p (already checked against the track) with gradient v:
// the previous gradient fills the cells up to p / 50, then v takes over. The cursor
// never writes beyond the last cell.
void riga_pendenza(Stato& s, cursori_righe& cur, std::int32_t p, std::int32_t v);

// Curvature per metre of a curve keyword: the first of the class digits 1 to 6 in the
// field, negative when it holds an "s" in either case. nullopt without a class digit.
std::optional<double> curvatura(std::string_view chiave);

// The plan of a curve row at p with length l and curvature k: straight metres up to p,
// bent metres up to p + l, never beyond metre L + 6998. False when the cursor passes
// metre 1000000 (error 103). Throws FallimentoRiga when p + l leaves 32 bits.
bool riga_curva(Stato& s, cursori_righe& cur, std::int32_t p, std::int32_t l, double k);

// After the last row: the last gradient runs on to cell n - 3, and the plan straight
// on to metre L + 6998 (only when the plan exists).
void chiudi_pendenze(Stato& s, cursori_righe& cur);
void chiudi_piano(Stato& s, cursori_righe& cur);

}  // namespace cmp
