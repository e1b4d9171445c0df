#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/chilometri.h"
#include "model/stato.h"

namespace cmp::disegno {

// What the picture shows, read off a compiled state. Positions are metres from the start
// of the track. Cells holding objects placed with the "+1" mapping (signals, slow orders,
// boards, captions) stand at (c - 1) * 50; cells of the profiles, of abbattimento points
// and the stop cell of a station at c * 50, the start of the cell.

// The kilometre references as pieces of the track (model/chilometri.h).
struct riferimento_km {
  std::vector<tratto_chilometrico> tratti{tratto_chilometrico{}};
  // The kilometre value, in metres, at a position of the track.
  std::int64_t a(std::int64_t metro) const { return chilometro_a(tratti, metro); }
};

struct oggetto {
  std::int64_t cella = 0;
  std::int64_t metro = 0;
  std::int16_t parametro1 = 0;
  std::int16_t parametro2 = 0;
  std::int16_t parametro3 = 0;
  std::string testo;            // Windows-1252: a station's name, a board's caption
  std::int16_t parametro4 = 0;  // a signal's kind code (10 * rapp + 3 * sx + dx)
  int tempo = 0;                // a signal's time
};

// A stretch of cells [inizio, fine) in metres with one value.
struct tratto_costante {
  std::int64_t inizio = 0;
  std::int64_t fine = 0;
  int valore = 0;
};

struct rallentamento {
  std::int64_t inizio = 0;  // metres
  std::int64_t fine = 0;
  int velocita = 0;  // km/h, as the row gave it
};

struct contenuto {
  std::string nome_linea;           // Windows-1252
  std::string numero_treno;         // Windows-1252
  std::int64_t lunghezza = 0;       // the line length L, entry 84
  std::int64_t metri_percorso = 0;  // the whole track, 50 per cell
  riferimento_km riferimento;
  std::vector<oggetto> stazioni;      // entries 1 to 80 at their stop cell (parametro1 the entry, parametro2 the kind)
  std::vector<oggetto> segnali;       // 1
  std::vector<oggetto> indicatori;    // 6
  std::vector<oggetto> cartelli;      // 14, with the caption text
  std::vector<oggetto> abbattimenti;  // 12 (with their value) and 13 (value 0)
  std::vector<rallentamento> rallentamenti;  // 3 ... 2
  std::vector<tratto_costante> pendenze;     // per mille
  std::vector<tratto_costante> velocita;     // km/h
  std::vector<tratto_costante> aderenze;     // as the rows gave it
  std::vector<tratto_costante> montagne;     // kind 1 to 255; stretches of kind 0 left out
};

// The readers complete both profiles up to the fourth cell from the end; the last three
// cells keep 0, which is no gradient or speed anybody wrote, so the profiles stop there.
inline constexpr std::int64_t kCelleFinaliSenzaProfilo = 3;

contenuto estrai_contenuto(const Stato& s);

}  // namespace cmp::disegno
