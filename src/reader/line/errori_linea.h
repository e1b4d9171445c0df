#pragma once
#include <cstdint>
#include <stdexcept>

namespace cmp {

// Error numbers the line description reader records in `codice_errore`.
namespace errore_linea {
inline constexpr std::int32_t lunghezza_eccessiva = 1;        // length above 1000000
inline constexpr std::int32_t ripetizione_primo = 3;          // first repetition value off the 50 m grid
inline constexpr std::int32_t ripetizione_secondo = 4;        // second repetition value off the 50 m grid
inline constexpr std::int32_t ripetizione_codici = 5;         // repetition keyword holds neither 4 nor 9
inline constexpr std::int32_t cartello_occupato = 6;          // caption board on a taken cell
inline constexpr std::int32_t posizione_oltre = 15;           // row position beyond the track
inline constexpr std::int32_t indicatori_occupato = 21;       // speed-indicator board on a taken cell
inline constexpr std::int32_t lettura = 25;                   // reading failure
inline constexpr std::int32_t lunghezza_negativa = 30;        // length row with a length below 0
inline constexpr std::int32_t cartello_fuori_percorso = 31;   // board or caption cell before cell 0
inline constexpr std::int32_t troppe_montagne = 32;           // more than 80 mountain rows
inline constexpr std::int32_t troppi_cartelli = 33;           // more than 81 caption boards
inline constexpr std::int32_t testo_mancante = 101;           // no line description text
inline constexpr std::int32_t generale_mancante = 102;        // no "[generale]" before the end
inline constexpr std::int32_t curva_non_valida = 103;         // no class digit, or the plan passes 1000000 m
}  // namespace errore_linea

// A row whose values cannot be compiled although each was read: arithmetic that leaves
// 32 bits, a result that does not fit its field, a row that needs a track that does not
// exist. The reader turns it into error 25 at the row's keyword field.
class FallimentoRiga : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace cmp
