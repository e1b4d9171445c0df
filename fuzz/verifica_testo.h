#pragma once
// The check over the description texts (controlla_testo, with its keyword-likeness check,
// and the source line compile shows under each warning) and the UTF-8 conversion of
// `compile --encoding utf-8` (converti_da_utf8) on arbitrary text, and what must hold
// whatever the text: every warning is a number of the check, placed on a line and column
// of the text, with a message in UTF-8 free of control characters; a conversion gives
// back exactly the characters it was given, or names the first byte it cannot take.
// Shared by fuzz_testo, fuzz_utf8 and the test that replays their corpus. How long the
// work takes is the fuzzer's to see (-timeout, -report_slow_units).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "descrizioni/avvisi_testo.h"

namespace cmp::fuzz {

// An input of fuzz_testo and fuzz_utf8. Byte 0 is a control byte: bit 0 is the format
// (1: a train description, 0: a line description); bits 1-5 are an exponent e: the bytes
// after the control byte are the text repeated 2^e times, cut at kTestoAmplificato bytes,
// so that a mutation of one byte makes a small input into a long one (one long field, a
// long run of rows) where work that grows faster than the text shows. An empty input
// gives an empty line description. `limite` cuts the text shorter: the test that replays
// the corpus cuts it at kTestoInProva, as the invariants hold at any length and a whole
// corpus of texts of a megabyte would take minutes.
inline constexpr std::size_t kTestoAmplificato = std::size_t{1} << 20;
inline constexpr std::size_t kTestoInProva = std::size_t{16} << 10;
struct ingresso_testo {
  formato_descrizione formato = formato_descrizione::linea;
  std::string testo;
};
ingresso_testo ingresso_di_testo(const std::uint8_t* dati, std::size_t n, std::size_t limite = kTestoAmplificato);
std::string byte_testo(formato_descrizione formato, int esponente, std::string_view testo);

struct esito_testo {
  std::optional<avviso_testo> errore_conversione;  // fuzz_utf8: where the conversion stopped
  std::vector<int> avvisi;                         // the numbers of the check's warnings
  std::vector<std::string> violazioni;             // invariants that do not hold: empty when all is well
};

// fuzz_testo: the text checked as it is (Windows-1252 bytes).
esito_testo controlla_e_verifica(const ingresso_testo& in);
// fuzz_utf8: the text converted from UTF-8 and, when it converts, checked as compile
// checks it.
esito_testo converti_e_verifica(const ingresso_testo& in);

// Well-formed UTF-8 (no overlong form, no surrogate, nothing above U+10FFFF).
bool utf8_valido(std::string_view s);

}  // namespace cmp::fuzz
