#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/tabella_linea.h"

namespace cmp {

// One 50-metre cell of the track.
struct tratto {
  std::uint8_t tipo = 0;
  std::int16_t parametro1 = 0;
  std::int16_t parametro2 = 0;
  std::int16_t parametro3 = 0;
  std::int16_t parametro4 = 0;
  std::uint8_t tempo = 0;
  std::uint8_t avviso = 0;
  std::uint8_t montagna = 0;
  std::uint8_t velocita = 0;
  std::uint8_t pendenza = 0;
  std::uint8_t aderenza = 0;
};

// Cell type codes of `tratto::tipo`.
namespace tipo_cella {
inline constexpr std::uint8_t nessuno = 0;
inline constexpr std::uint8_t segnale = 1;
inline constexpr std::uint8_t fine_rallentamento = 2;
inline constexpr std::uint8_t inizio_rallentamento = 3;
inline constexpr std::uint8_t avviso_rallentamento = 4;
inline constexpr std::uint8_t approccio_rallentamento = 5;
inline constexpr std::uint8_t indicatori_v_max = 6;
inline constexpr std::uint8_t fermata = 10;
inline constexpr std::uint8_t marca_montagna = 11;
inline constexpr std::uint8_t abbattimento_valore = 12;
inline constexpr std::uint8_t abbattimento = 13;
inline constexpr std::uint8_t cartello = 14;
}  // namespace tipo_cella

// A cell may take an object while it holds nothing or only a mountain marker.
inline bool cella_libera(const tratto& t) {
  return t.tipo == tipo_cella::nessuno || t.tipo == tipo_cella::marca_montagna;
}

// One entry of the scenario table. `testo` holds Windows-1252 bytes.
struct voce_scenario {
  std::uint8_t tipo = 0;
  std::int32_t intero1 = 0;
  std::int32_t intero2 = 0;
  std::int32_t intero3 = 0;
  std::uint8_t ottetto1 = 0;
  std::string testo;
  std::int16_t breve1 = 0;
  std::int16_t breve2 = 0;
  std::int16_t breve3 = 0;
  std::int16_t breve4 = 0;
  std::int16_t breve5 = 0;
  std::uint8_t ottetto2 = 0;
  std::uint8_t ottetto3 = 0;
  std::uint8_t ottetto4 = 0;
  std::uint8_t ottetto5 = 0;
  std::int32_t intero4 = 0;
};

inline constexpr int kVociScenario = 87;
inline constexpr int kPostiMontagne = 81;  // places 0 to 80; the first row goes to place 1

// Which description text a diagnostic points into.
enum class testo_descrizione : std::uint8_t { nessuno, linea, treno };

// Where the reader was when it recorded `codice_errore`: the keyword field of the row
// (or the field whose reading failed). Not part of any file; for the diagnostics of
// the compile command.
struct luogo {
  testo_descrizione testo = testo_descrizione::nessuno;
  int riga = 0;     // from 1
  int colonna = 0;  // from 1, in bytes
};

// A fault the finishing pass recorded (11, 12, 13); the pass keeps going, so there can be many.
struct avviso_finitura {
  std::int32_t codice = 0;
  std::int32_t posizione = 0;  // metres
};

// The state of one run: every procedure reaches it through a reference.
struct Stato {
  std::string nome_linea;    // Windows-1252
  std::string numero_treno;  // Windows-1252
  std::int32_t crea_tabella_linea = 0;
  std::vector<tratto> percorso;  // cells 0 to n; empty until the reader meets the length row
  std::array<voce_scenario, kVociScenario> scenario{};
  TabellaLinea tabella_linea;
  std::int32_t codice_errore = 0;
  std::int32_t posizione_errore = 0;

  // Reader state that outlives one row section: the mountain rows and the caption cursor.
  std::int32_t numero_montagne = 0;
  std::array<std::int32_t, kPostiMontagne> montagne_inizio{};
  std::array<std::int32_t, kPostiMontagne> montagne_fine{};
  std::int32_t voce_cartello = 80;

  // Diagnostics for scenario authors (the compile's outcome keeps what the readers left,
  // since the finishing pass may overwrite `codice_errore`).
  luogo luogo_errore;
  std::string dettaglio_errore;  // why a read failed (error 25), in plain English
  std::vector<avviso_finitura> avvisi;

  // Last index of `percorso`, or -1 when there is no track.
  std::int64_t ultima_cella() const { return static_cast<std::int64_t>(percorso.size()) - 1; }
};

}  // namespace cmp
