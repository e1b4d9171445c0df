#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cmp::disegno {

// One row of a description text as the page reads it again, field by field, to link its
// objects back to it: which text, where its keyword field starts, the keyword as written
// and every number after it. The readers' record of the rows they take (riga_sorgente,
// reader/comune/righe_lette.h) keeps one position a row and no other number, and the
// page also needs the two numbers of gradient, speed, adhesion, curve and kilometre rows.
struct riga_riletta {
  int file = 0;          // index of the text among those given to the page
  int riga = 0;          // from 1
  int colonna = 0;       // from 1, in bytes: the keyword field
  std::string chiave;    // the keyword field, Windows-1252, blanks trimmed
  std::vector<std::int64_t> numeri;  // the fields after the keyword that read as whole numbers, in order
  std::string testo;     // the last field when it is not a number (a station's name, a caption)

  // The first number (the row's position for every kind of row that has one).
  std::optional<std::int64_t> posizione() const {
    if (numeri.empty()) return std::nullopt;
    return numeri.front();
  }
};

// The rows of a description text that carry a keyword, in text order. Never throws on any input.
std::vector<riga_riletta> rileggi_righe(std::string_view testo, int file);

}  // namespace cmp::disegno
