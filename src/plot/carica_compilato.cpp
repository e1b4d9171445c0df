#include "plot/carica_compilato.h"

#include <utility>

namespace cmp {

std::optional<difetto_compilato> carica_compilato(Stato& s, std::optional<std::string_view> tabella_linea,
                                                  std::string_view scenario, std::string_view percorso) {
  auto voci = decodifica_scenario(scenario);
  if (voci.difetto) return difetto_compilato{file_compilato::scenario, *voci.difetto};
  auto celle = decodifica_percorso(percorso);
  if (celle.difetto) return difetto_compilato{file_compilato::percorso, *celle.difetto};
  std::optional<tabella_decodificata> piano;
  if (tabella_linea) {
    piano = decodifica_tabella_linea(*tabella_linea);
    if (piano->difetto) return difetto_compilato{file_compilato::tabella_linea, *piano->difetto};
  }
  if (auto d = verifica_insieme(voci.voci, celle.celle, piano ? &piano->tabella : nullptr)) return d;
  for (std::size_t i = 0; i < s.scenario.size(); ++i) s.scenario[i] = std::move(voci.voci[i]);
  s.nome_linea = testo_nome_linea(s.scenario);
  s.numero_treno = testo_numero_treno(s.scenario);
  s.percorso = std::move(celle.celle);
  s.crea_tabella_linea = piano.has_value();
  if (piano) {
    s.tabella_linea = std::move(piano->tabella);
  } else {
    s.tabella_linea.svuota();
  }
  return std::nullopt;
}

}  // namespace cmp
