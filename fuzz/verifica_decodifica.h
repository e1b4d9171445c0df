#pragma once
// The decoders of the three binary files on arbitrary bytes, and what must hold whatever
// the bytes: nothing read past the end, nothing returned from beyond a reported defect,
// a file that decodes whole encodes back to the same bytes, and nothing drawn from a file
// called damaged. Shared by fuzz_decodifica and the test that replays its corpus.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/decodifica_file.h"

namespace cmp::fuzz {

// An input of fuzz_decodifica taken apart as the three files of one scenario. Byte 0 is a
// control byte (its lowest bit: a plan is there), bytes 1-3 and 4-6 the lengths of the
// .sim and of the track (24 bits, little-endian, cut to what follows); after them come the
// .sim, the track and, when there is one, the plan (the rest). A shorter input gives three
// empty files and no plan.
struct file_compilati {
  std::string sim;
  std::string dat;
  std::optional<std::string> piano;
};
file_compilati ingresso_decodifica(const std::uint8_t* dati, std::size_t n);
std::string byte_decodifica(const file_compilati& f);

struct esito_decodifica {
  // The defect carica_compilato reported, or nullopt when the scenario was drawn.
  std::optional<difetto_compilato> difetto;
  std::vector<std::string> violazioni;
};

// The binary files a compile of the two texts writes, under the identity "Prova", "7"
// (for the seed corpus).
file_compilati compila_file(std::string_view linea, std::string_view treno, bool con_piano);

// The whole input through each decoder, then its three files loaded and drawn as
// plot --from does, checking every invariant.
esito_decodifica decodifica_e_verifica(const std::uint8_t* dati, std::size_t n);

}  // namespace cmp::fuzz
