#pragma once
// The journal of an interrupted replacement, whatever its text says, put back by
// Cartella::ripristina_interrotta, as a compile does it before writing its three binary
// files, over a folder in memory that holds the scenario's inputs, its crew documents,
// another train's binary files, a user's file, files outside the folder, and (as the
// input chooses) the run's binary files, their aside copies, or something other than a
// file where the journal or a binary file should be. What must hold: no operation names
// anything but the run's own names, every other file is byte for byte as before, a binary
// file the journal does not name is untouched, a recovery that returns leaves no journal,
// and one that refuses changes nothing and names the journal. Shared by fuzz_giornale and
// the test that replays its corpus.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cmp::fuzz {

// An input of fuzz_giornale: byte 0 says what the folder holds besides the files always
// there (its bits below), the rest is the journal's text. An empty input gives an empty
// folder setting and an empty journal.
namespace cartella_giornale {
inline constexpr std::uint8_t kFileBinari = 0x07;          // bits 0-2: the plan, the .sim, the track
inline constexpr std::uint8_t kDaParte = 0x38;             // bits 3-5: the three aside copies
inline constexpr std::uint8_t kGiornaleFifo = 0x40;        // a FIFO where the journal is
inline constexpr std::uint8_t kCartellaAlPercorso = 0x80;  // a folder where the track is
}  // namespace cartella_giornale

struct ingresso_giornale {
  std::uint8_t cartella = 0;
  std::string testo;
};
ingresso_giornale ingresso_di_giornale(const std::uint8_t* dati, std::size_t n);
std::string byte_giornale(std::uint8_t cartella, std::string_view testo);

// The names the folder in memory uses, for seeds that name them.
struct nomi_giornale {
  static constexpr const char* kTabella = "VallorsaC_Pietrana_linea.dat";
  static constexpr const char* kScenario = "VallorsaC_Pietrana_4721.sim";
  static constexpr const char* kPercorso = "VallorsaC_Pietrana_4721.dat";
  // The files the run replaces, as a compile with its plan gives them to the recovery.
  static constexpr std::string_view kInScrittura[3] = {kTabella, kScenario, kPercorso};
  // Another train's binary files on the same line: no business of this run.
  static constexpr const char* kAltroScenario = "VallorsaC_Pietrana_4723.sim";
  static constexpr const char* kAltroPercorso = "VallorsaC_Pietrana_4723.dat";
  // As CartellaDisco makes them: a fixed prefix and six characters.
  static constexpr const char* kDaParte[3] = {".compattatore.old-Ab12Cd", ".compattatore.old-Ef34Gh",
                                              ".compattatore.old-Ij56Kl"};
};

// Whether a name is one the run may put back or remove: one of the three files it
// replaces (kInScrittura) or one of this program's own dot-names (the journal, a
// temporary, an aside copy), with no separator and not "." or "..".
bool nome_proprio(std::string_view nome);

struct esito_giornale {
  bool rifiutato = false;               // ripristina_interrotta threw ErroreFile
  std::vector<std::string> operazioni;  // "elimina NAME", "rinomina FROM TO", in order
  std::vector<std::string> violazioni;  // invariants that do not hold: empty when all is well
};

esito_giornale ripristina_e_verifica(const ingresso_giornale& in);

}  // namespace cmp::fuzz
