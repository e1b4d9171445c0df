#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/stato.h"

namespace cmp {

// What the three binary files of a compile can hold: a line of 0 to 1,000,000 m, 7,000 m
// of run-out, texts of at most 65,535 bytes. Anything beyond these is no file of ours.
namespace limiti_file {
inline constexpr std::int64_t lunghezza_massima = 1000000;  // metres of line
inline constexpr std::int64_t metri_oltre_linea = 7000;
// Cells of a track: round((L + 7000) / 50) + 1.
inline constexpr std::size_t celle_minime = 141;
inline constexpr std::size_t celle_massime = 20141;
// Metres (rows) of a plan: L + 7001.
inline constexpr std::size_t righe_minime = 7001;
inline constexpr std::size_t righe_massime = 1007001;
// The largest file of each kind: a track of 20,141 cells; 87 entries each with a text
// of 65,535 bytes; a plan of 1,007,001 metres, two 16-bit integers, doubles and two
// empty values a column.
inline constexpr std::size_t byte_percorso_massimi = celle_massime * kByteCella;
inline constexpr std::size_t byte_scenario_massimi = kVociScenario * (kByteVoceSenzaTesto + 65535);
inline constexpr std::size_t byte_tabella_massimi = 2 * (2 * 4 + (righe_massime - 4) * 10 + 2 * 2);
// The sharpest curve turns each metre's step by 0.003: its length grows by the factor
// sqrt(1 + 0.003^2) at most, and never shrinks.
inline constexpr double curvatura_massima = 0.003;
// The fixed values the finishing pass writes into every compiled scenario.
inline constexpr std::int16_t valore_fisso_scenario = 610;   // entry 85, breve1
inline constexpr std::int16_t valore_fisso_percorso = 5121;  // cell 1, parametro1
}  // namespace limiti_file

// Where a binary file stops being what a compile writes: the byte offset and what was
// expected there.
struct difetto_file {
  std::size_t offset = 0;
  std::string motivo;
};

// "FILE is damaged at byte N: REASON", the one line dump and plot print for a defect.
std::string descrivi_difetto(const std::string& file, const difetto_file& d);

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

// The three binary files of a compiled scenario.
enum class file_compilato { tabella_linea, scenario, percorso };

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
