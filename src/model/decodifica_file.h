#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/stato.h"

namespace cmp {

// What went wrong reading a binary scenario file back: the byte offset and why.
struct difetto_file {
  std::size_t offset = 0;
  std::string motivo;
};

// Each decoder reads what it can and stops at the first defect; it never reads past the end.
struct scenario_decodificato {
  std::vector<voce_scenario> voci;
  std::optional<difetto_file> difetto;
};
scenario_decodificato decodifica_scenario(std::string_view dati);

struct percorso_decodificato {
  std::vector<tratto> celle;
  std::optional<difetto_file> difetto;
};
percorso_decodificato decodifica_percorso(std::string_view dati);

struct tabella_decodificata {
  TabellaLinea tabella;  // rows = half the values found
  std::optional<difetto_file> difetto;
};
tabella_decodificata decodifica_tabella_linea(std::string_view dati);

}  // namespace cmp
