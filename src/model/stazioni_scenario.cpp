#include "model/stazioni_scenario.h"

namespace cmp {
namespace {

constexpr auto kUltimaVoceStazione = static_cast<std::size_t>(kVoceUltimaStazione);

bool voce_usata(const voce_scenario& v) {
  return v.tipo != 0 || v.intero1 != 0 || v.intero2 != 0 || v.intero3 != 0 || !v.testo.empty();
}

}  // namespace

std::vector<std::size_t> voci_stazioni(const std::vector<tratto>& percorso,
                                       const std::array<voce_scenario, kVociScenario>& scenario) {
  std::vector<bool> di_cartello(kUltimaVoceStazione + 1, false);
  for (const auto& t : percorso) {
    if (t.tipo == tipo_cella::cartello && t.parametro1 >= 0 &&
        static_cast<std::size_t>(t.parametro1) <= kUltimaVoceStazione) {
      di_cartello[static_cast<std::size_t>(t.parametro1)] = true;
    }
  }
  std::vector<std::size_t> out;
  for (std::size_t n = 1; n <= kUltimaVoceStazione && !di_cartello[n] && voce_usata(scenario[n]); ++n) out.push_back(n);
  return out;
}

}  // namespace cmp
