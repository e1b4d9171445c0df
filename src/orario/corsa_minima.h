#pragma once
// The fastest run a train can make over a compiled track, against its timetable: it leaves
// the first station at its time, stops at every station with a stop cell and leaves it at
// its time (or on arrival, if later), passes the others, never goes above a cell's speed
// limit or a slow order's speed, and accelerates and brakes at constant rates corrected
// for each cell's gradient. What railway planners call a running-time calculation; the
// model and its sources are in docs/orario.md.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/stato.h"

namespace cmp {

// The stated assumptions, with their defaults.
inline constexpr double kAccelerazionePredefinita = 0.5;  // m/s² on the level
inline constexpr double kMargineMinimoPredefinito = 3.0;  // per cent of the running time
inline constexpr double kGravita = 9.81;                  // m/s²
// The braked-weight percentages the braking rule is taken as valid for; one outside is
// brought to the nearer end, and the outcome says so.
inline constexpr int kMassaFrenataMinima = 30;
inline constexpr int kMassaFrenataMassima = 150;
// The largest rates a command accepts (m/s²): above them no train runs.
inline constexpr double kAccelerazioneMassima = 5.0;
inline constexpr double kDecelerazioneMassima = 5.0;
// A station is late when its earliest arrival comes after its time by more than this
// (seconds): the integration is exact up to the rounding of doubles, far below it.
inline constexpr double kTolleranzaOrario = 0.001;

// The braking rate on the level (m/s²) of a braked-weight percentage, by the Minden
// formula s = 3.85 V² / (6.1 (1 + λ/10) + i): V² / 2s with V in m/s and i = 0.
double decelerazione_da_massa_frenata(double percento);

struct ipotesi_corsa {
  double accelerazione = kAccelerazionePredefinita;
  std::optional<double> decelerazione;  // none: from the braked-weight percentage (entry 84)
};

// One station of the timetable, in row order. Times in seconds since midnight.
struct stazione_corsa {
  std::size_t voce = 0;  // its entry in the scenario table
  std::string nome;      // Windows-1252, as the entry holds it
  std::int32_t posizione = 0;
  std::int32_t orario = 0;        // the train sheet's time: departure, or the last station's arrival
  bool fermata = false;           // it has a stop cell (kind below 25)
  double metro = 0;               // where the train stops (the middle of the stop cell) or passes (its position)
  std::optional<double> arrivo;   // the earliest arrival; none: it cannot be reached at all
  std::optional<double> margine;  // orario - arrivo
  std::optional<double> margine_percento;  // of the scheduled running time from the previous station
  bool in_ritardo() const { return !arrivo || *arrivo > orario + kTolleranzaOrario; }
};

// Where the run cannot go on, and why.
struct blocco_corsa {
  enum class motivo : std::uint8_t {
    limite_nullo,    // a speed limit or a slow order of 0 km/h
    salita,          // a climb the acceleration cannot take
    discesa,         // a descent steeper than the braking rate can hold
    fuori_percorso,  // a station beyond the end of the track
    indietro,        // a station behind the one before it (a compile that stopped there)
  } perche = motivo::limite_nullo;
  std::int64_t metro = 0;  // the start of the cell
  int pendenza = 0;        // per mille, for a climb or a descent
  int velocita = 0;        // km/h, for a limit of 0
};

// A point of the run: where the speed curve bends (the starts and ends of acceleration,
// braking and cruising), with the time it is reached.
struct punto_corsa {
  double metro = 0;
  double velocita = 0;  // m/s
  double secondi = 0;   // since midnight
};

struct corsa_minima {
  double accelerazione = 0;  // m/s², as assumed
  double decelerazione = 0;  // m/s², as given or derived
  bool decelerazione_da_massa = false;
  std::int32_t massa_frenata = 0;  // per cent, from entry 84
  bool massa_fuori_campo = false;  // outside the rule's range: brought to its nearer end
  std::int32_t orologio = 0;       // when the scenario starts (entry 86)
  std::vector<stazione_corsa> stazioni;
  std::vector<punto_corsa> punti;
  std::optional<blocco_corsa> blocco;
};

// The assumptions of a run (the rates, the braked weight, the clock) with no station and no
// run: what the front ends show when the descriptions hold an error, since a track the
// reader stopped reading is no track to time.
corsa_minima ipotesi_della_corsa(const std::array<voce_scenario, kVociScenario>& scenario,
                                 const ipotesi_corsa& ipotesi);

// The fastest run over the track and the table of entries of one compiled scenario.
corsa_minima calcola_corsa_minima(const std::vector<tratto>& percorso,
                                  const std::array<voce_scenario, kVociScenario>& scenario,
                                  const ipotesi_corsa& ipotesi);

}  // namespace cmp
