#pragma once
// Where the lines of a text start, found once per text and shared by every message that
// points into it: a byte's line and column, a line's own bytes. The text is walked once
// when the index is built; a look-up then reads at most a block of the text, never the
// text from its start, so a thousand messages cost a thousand look-ups, not a thousand
// walks.
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace cmp {

class IndiceRighe {
 public:
  // The text must outlive the index. A line ends at LF (a CR before it belongs to the
  // line end); a text ending in LF has an empty last line after it.
  explicit IndiceRighe(std::string_view testo);

  std::string_view testo() const { return testo_; }
  int righe() const { return righe_; }

  struct posto {
    int riga;     // from 1
    int colonna;  // from 1, in bytes
  };
  // The line and column of a byte (the end of the text counts as a byte after the last).
  posto luogo(std::size_t offset) const;
  // The first byte of a line (from 1), or nullopt when the text has no such line.
  std::optional<std::size_t> inizio(int riga) const;
  // A line without its line end, cut to `massimo` bytes at most (a message never needs
  // more of a line, and a line may be the whole text); a CR before the end goes with
  // the end when the end is within `massimo`.
  std::optional<std::string_view> riga(int numero, std::size_t massimo) const;

 private:
  // One line start in every block: the first of each run of kRighe lines or kByte bytes,
  // whichever ends first, so that any line start lies within one block of a mark.
  static constexpr int kRighe = 64;
  static constexpr std::size_t kByte = 64 * 1024;
  struct segno {
    int riga;
    std::size_t inizio;
  };
  std::string_view testo_;
  int righe_ = 1;
  std::vector<segno> segni_;
};

}  // namespace cmp
