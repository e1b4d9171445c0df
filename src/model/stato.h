#pragma once
#include <array>
#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "model/tabella_linea.h"
#include "model/voci_scenario.h"

namespace cmp {

// The fields of each record kept in a binary file, in file order: type and name. Each
// list declares its struct and, through `per_ogni_campo`, drives the encoder, the decoder
// and dump, so a field's place and width are written here and nowhere else.
#define CMP_CAMPI_TRATTO(CAMPO)   \
  CAMPO(std::uint8_t, tipo)       \
  CAMPO(std::int16_t, parametro1) \
  CAMPO(std::int16_t, parametro2) \
  CAMPO(std::int16_t, parametro3) \
  CAMPO(std::int16_t, parametro4) \
  CAMPO(std::uint8_t, tempo)      \
  CAMPO(std::uint8_t, avviso)     \
  CAMPO(std::uint8_t, montagna)   \
  CAMPO(std::uint8_t, velocita)   \
  CAMPO(std::uint8_t, pendenza)   \
  CAMPO(std::uint8_t, aderenza)

// `testo` holds Windows-1252 bytes; in the file it is a 16-bit count and the bytes.
#define CMP_CAMPI_VOCE_SCENARIO(CAMPO) \
  CAMPO(std::uint8_t, tipo)            \
  CAMPO(std::int32_t, intero1)         \
  CAMPO(std::int32_t, intero2)         \
  CAMPO(std::int32_t, intero3)         \
  CAMPO(std::uint8_t, ottetto1)        \
  CAMPO(std::string, testo)            \
  CAMPO(std::int16_t, breve1)          \
  CAMPO(std::int16_t, breve2)          \
  CAMPO(std::int16_t, breve3)          \
  CAMPO(std::int16_t, breve4)          \
  CAMPO(std::int16_t, breve5)          \
  CAMPO(std::uint8_t, ottetto2)        \
  CAMPO(std::uint8_t, ottetto3)        \
  CAMPO(std::uint8_t, ottetto4)        \
  CAMPO(std::uint8_t, ottetto5)        \
  CAMPO(std::int32_t, intero4)

#define CMP_DICHIARA_CAMPO(Tipo, nome) Tipo nome{};
#define CMP_VISITA_CAMPO(Tipo, nome) f(#nome, r.nome);

// One 50-metre cell of the track.
struct tratto {
  CMP_CAMPI_TRATTO(CMP_DICHIARA_CAMPO)
};

// One entry of the scenario table; entries 80 to 86 are named in model/voci_scenario.h.
struct voce_scenario {
  CMP_CAMPI_VOCE_SCENARIO(CMP_DICHIARA_CAMPO)
};

// Calls f(name, field) for every field of a cell or an entry, in file order.
template <typename R, typename F>
requires std::same_as<std::remove_const_t<R>, tratto>
void per_ogni_campo(R& r, F&& f) { CMP_CAMPI_TRATTO(CMP_VISITA_CAMPO) }
template <typename R, typename F>
requires std::same_as<std::remove_const_t<R>, voce_scenario>
void per_ogni_campo(R& r, F&& f) { CMP_CAMPI_VOCE_SCENARIO(CMP_VISITA_CAMPO) }

// Bytes a field takes in its file: a number its width, a text its 16-bit count (the
// text's own bytes come on top).
template <typename Tipo>
inline constexpr std::size_t kByteInFile = std::is_same_v<Tipo, std::string> ? 2 : sizeof(Tipo);
#define CMP_BYTE_CAMPO(Tipo, nome) +kByteInFile<Tipo>
inline constexpr std::size_t kByteCella = 0 CMP_CAMPI_TRATTO(CMP_BYTE_CAMPO);
inline constexpr std::size_t kByteVoceSenzaTesto = 0 CMP_CAMPI_VOCE_SCENARIO(CMP_BYTE_CAMPO);

#undef CMP_BYTE_CAMPO
#undef CMP_VISITA_CAMPO
#undef CMP_DICHIARA_CAMPO
#undef CMP_CAMPI_VOCE_SCENARIO
#undef CMP_CAMPI_TRATTO

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
  bool crea_tabella_linea = false;
  std::vector<tratto> percorso;  // cells 0 to n; empty until the reader meets the length row
  std::array<voce_scenario, kVociScenario> scenario{};
  TabellaLinea tabella_linea;
  std::int32_t codice_errore = 0;
  std::int32_t posizione_errore = 0;

  // Reader state that outlives one row section: the mountain rows and the caption cursor.
  std::int32_t numero_montagne = 0;
  std::array<std::int32_t, kPostiMontagne> montagne_inizio{};
  std::array<std::int32_t, kPostiMontagne> montagne_fine{};
  std::int32_t voce_cartello = kVocePrimoCartello;

  // Diagnostics for scenario authors (the compile's outcome keeps what the readers left,
  // since the finishing pass may overwrite `codice_errore`).
  luogo luogo_errore;
  std::string dettaglio_errore;  // why a read failed (error 25), in plain English
  std::vector<avviso_finitura> avvisi;

  // Last index of `percorso`, or -1 when there is no track.
  std::int64_t ultima_cella() const { return static_cast<std::int64_t>(percorso.size()) - 1; }
};

}  // namespace cmp
