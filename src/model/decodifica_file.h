#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/limiti_formato.h"
#include "model/stato.h"

namespace cmp {

// Where a binary file stops being what a compile writes: the byte offset and what was
// expected there.
struct difetto_file {
  std::size_t offset = 0;
  std::string motivo;
};

// "FILE is damaged at byte N: REASON", the one line dump and plot print for a defect.
std::string descrivi_difetto(const std::string& file, const difetto_file& d);

// The three binary files of a compiled scenario.
enum class file_compilato { tabella_linea, scenario, percorso };

// The largest file of a kind a compile writes (model/limiti_formato.h): dump and plot
// read no more.
std::size_t byte_massimi(file_compilato file);
// A file larger than that: damaged at the first byte beyond it.
difetto_file difetto_troppo_grande(file_compilato file);

// Each decoder checks the file's size, structure and values against what a compile can
// write, never reads past the end and stops at the first defect. What it returns lies
// wholly before the defect: the entries and cells that end at or before its offset (each
// one checked), and no plan at all, since a damaged plan cannot be split into its two
// columns.
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
  TabellaLinea tabella;  // empty when there is a defect
  std::optional<difetto_file> difetto;
};
tabella_decodificata decodifica_tabella_linea(std::string_view dati);
// The same into a table kept by the caller, whose room it reuses; empty on a defect.
std::optional<difetto_file> decodifica_tabella_linea(std::string_view dati, TabellaLinea& tabella);

struct difetto_compilato {
  file_compilato file = file_compilato::scenario;
  difetto_file difetto;
};

// Files that each decode whole must also belong together: the track as long as the line
// of the scenario table and the plan, every stop cell at the end of its station's area,
// every caption board naming an entry that holds no station. The first mismatch is
// returned, in the file where it shows.
std::optional<difetto_compilato> verifica_insieme(const std::vector<voce_scenario>& voci,
                                                  const std::vector<tratto>& celle, const TabellaLinea* tabella);

// Why a route identifier or train number, as bytes of an entry, cannot have come from a
// compile (which refuses such names), or nullopt when it can.
std::optional<std::string> motivo_identita_non_valida_cp1252(std::string_view testo);

}  // namespace cmp
