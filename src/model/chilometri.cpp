#include "model/chilometri.h"

#include <algorithm>

namespace cmp {

std::vector<tratto_chilometrico> tratti_chilometrici(const voce_scenario& tre, const voce_scenario& due,
                                                     const voce_scenario& uno) {
  std::vector<tratto_chilometrico> out{{posizione_progressiva(tre), chilometri_progressiva(tre), kVoceProgressivaTre}};
  int voce = kVoceProgressivaTre;
  for (const voce_scenario* v : {&due, &uno}) {
    ++voce;
    const bool vuota =
        posizione_progressiva(*v) == 0 && chilometri_progressiva(*v) == 0 && bandiera_progressiva(*v) == 0;
    const std::int64_t da = posizione_progressiva(*v);
    const bool gia =
        std::any_of(out.begin(), out.end(), [&](const tratto_chilometrico& t) { return t.da_metro == da; });
    if (!vuota && !gia) out.push_back({da, chilometri_progressiva(*v), voce});
  }
  std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.da_metro < b.da_metro; });
  return out;
}

std::vector<tratto_chilometrico> tratti_chilometrici(const Stato& s) {
  return tratti_chilometrici(s.scenario[kVoceProgressivaTre], s.scenario[kVoceProgressivaDue],
                             s.scenario[kVoceProgressivaUno]);
}

std::int64_t chilometro_a(const std::vector<tratto_chilometrico>& tratti, std::int64_t metro) {
  if (tratti.empty()) return metro;
  const tratto_chilometrico* scelto = &tratti.front();
  for (const auto& t : tratti) {
    if (t.da_metro <= metro) scelto = &t;
  }
  return scelto->valore + (metro - scelto->da_metro);
}

}  // namespace cmp
