#pragma once
// The whole compile in memory, as `compattatore compile` does it, and the invariants that
// must hold for every pair of description texts. Shared by the fuzz targets and the
// test that replays their corpus.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compilazione/compila.h"

namespace cmp::fuzz {

// One input of a fuzz target, taken apart. The first byte is a control byte: its lowest
// bit is the plan setting (1: the plan is built and written, 0: not).
struct ingresso {
  std::int32_t con_tabella = 1;
  std::string linea;
  std::string treno;
};

// The train text that follows an arbitrary line text: the header and a closing line.
inline constexpr std::string_view kTrenoMinimo = "[generale]\r\n[fine]\r\n";
// What separates the line text from the train text in an input of fuzz_scenario.
inline constexpr char kSeparatore = '\0';

// The built-in line description, byte for byte as the built-in run writes it.
const std::string& testo_linea_incorporata();

// fuzz_linea: the bytes after the control byte are the line text; the train is kTrenoMinimo.
// fuzz_treno: they are the train text, after the built-in line.
// fuzz_scenario: the line text up to the first kSeparatore, the train text after it
// (an input without a separator has an empty train text).
// An empty input has no control byte: it gives the plan setting 1 and empty texts.
ingresso ingresso_linea(const std::uint8_t* dati, std::size_t n);
ingresso ingresso_treno(const std::uint8_t* dati, std::size_t n);
ingresso ingresso_scenario(const std::uint8_t* dati, std::size_t n);

// The inverse of the three, for writing a corpus.
std::string byte_linea(std::int32_t con_tabella, std::string_view linea);
std::string byte_treno(std::int32_t con_tabella, std::string_view treno);
std::string byte_scenario(std::int32_t con_tabella, std::string_view linea, std::string_view treno);

struct esito_verifica {
  std::int32_t codice_errore = 0;          // after the finishing pass
  std::int32_t codice_errore_lettura = 0;  // what the readers left
  errore_finale finale = errore_finale::nessuno;
  std::vector<std::int32_t> avvisi;       // the finishing pass's numbers
  std::vector<std::string> file_scritti;  // names written into the folder in memory
  std::size_t righe_lette = 0;            // rows the readers recorded
  std::vector<std::string> violazioni;    // invariants that do not hold: empty when all is well
};

// Compiles the two texts under the built-in identity, writes the binary files into a
// folder in memory and checks every invariant.
esito_verifica compila_e_verifica(const ingresso& in);

}  // namespace cmp::fuzz
