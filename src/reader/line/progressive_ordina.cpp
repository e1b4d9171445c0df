#include "reader/line/progressive_ordina.h"

#include <array>

#include "reader/comune/aritmetica_32.h"

namespace cmp {
namespace {

struct progressiva {
  std::int32_t posizione = 0;
  std::int32_t chilometri = 0;
  std::int32_t bandiera = 0;
};

progressiva da_voce(const voce_scenario& v) {
  return {posizione_progressiva(v), chilometri_progressiva(v), bandiera_progressiva(v)};
}

void in_voce(voce_scenario& v, const progressiva& p) {
  posizione_progressiva(v) = p.posizione;
  chilometri_progressiva(v) = p.chilometri;
  bandiera_progressiva(v) = p.bandiera;
}

// The row with a strictly greatest position first; of the other two the greater next,
// the later entry when they are equal. All zero when no row is strictly greatest.
std::array<progressiva, 3> per_posizione(const progressiva& a, const progressiva& b, const progressiva& c) {
  const auto poi = [](const progressiva& x, const progressiva& y) {
    return x.posizione > y.posizione ? std::array<progressiva, 2>{x, y} : std::array<progressiva, 2>{y, x};
  };
  std::array<progressiva, 2> resto;
  progressiva prima;
  if (a.posizione > b.posizione && a.posizione > c.posizione) {
    prima = a;
    resto = poi(b, c);
  } else if (b.posizione > a.posizione && b.posizione > c.posizione) {
    prima = b;
    resto = poi(a, c);
  } else if (c.posizione > a.posizione && c.posizione > b.posizione) {
    prima = c;
    resto = poi(a, b);
  } else {
    return {};
  }
  return {prima, resto[0], resto[1]};
}

// All positions add up to 0: the reference in use goes to 81, looked for from entry 83.
std::array<progressiva, 3> per_chilometri(const progressiva& a, const progressiva& b, const progressiva& c) {
  if (c.chilometri > 0) return {c, b, a};
  if (b.chilometri > 0) return {b, a, c};
  if (a.chilometri > 0) return {a, b, c};
  return {};
}

}  // namespace

void progressive_ordina(Stato& s) {
  const progressiva a = da_voce(s.scenario[kVoceProgressivaTre]);
  const progressiva b = da_voce(s.scenario[kVoceProgressivaDue]);
  const progressiva c = da_voce(s.scenario[kVoceProgressivaUno]);
  const std::int32_t somma =
      somma_32(somma_32(a.posizione, b.posizione, "the sum of the kilometre reference positions"), c.posizione,
               "the sum of the kilometre reference positions");
  auto nuove = somma != 0 ? per_posizione(a, b, c) : per_chilometri(a, b, c);
  for (auto& p : nuove) {
    if (p.bandiera == 1) p.chilometri = somma_32(p.chilometri, 100, "a kilometre value raised by 100");
  }
  for (int i = 0; i < 3; ++i) in_voce(s.scenario[kVoceProgressivaTre + i], nuove[i]);
}

}  // namespace cmp
