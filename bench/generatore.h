#pragma once
// Line and train descriptions of a chosen length, for timing the compile step on
// scenarios far larger than the built-in one. Every row is valid: the pair compiles
// with no error and no warning of the finishing pass.
#include <cstdint>
#include <string>

namespace cmp::banco {

// The track is laid out in blocks of 20 km, one station each: 50 blocks (and stations)
// on the longest line.
inline constexpr std::int32_t kMetriBlocco = 20000;
inline constexpr std::int32_t kLunghezzaMassima = 1000000;

// How many rows of each kind a generated pair holds.
struct conteggi {
  int curve = 0;
  int pendenze = 0;
  int montagne = 0;
  int indicatori = 0;
  int cartelli = 0;
  int stazioni = 0;
  int velocita = 0;
  int aderenze = 0;
  int rallentamenti = 0;
  int segnali = 0;
  int abbattimenti = 0;
};

struct descrizioni {
  std::string linea;  // the line description text, CR LF line ends, ASCII only
  std::string treno;  // the train description text
  conteggi righe;
};

// A line of `lunghezza` metres (a multiple of kMetriBlocco from kMetriBlocco up to
// kLunghezzaMassima; anything else throws std::invalid_argument) and a train on it.
descrizioni genera_descrizioni(std::int32_t lunghezza);

}  // namespace cmp::banco
