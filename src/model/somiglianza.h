#pragma once
// The nearest of a list of known words, for "did you mean ...?" in messages.
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cmp {

namespace somiglianza {

// Edits (insert, delete, replace one byte, swap two neighbours) that turn `a` into `b`,
// when they are at most `limite`; nullopt when more are needed. Only the cells of the
// table within `limite` of its diagonal are worked out, three rows of `b` at a time: the
// time grows with |a| times the limit, the memory with |b|, and never with |a| times |b|.
inline std::optional<std::size_t> entro(std::string_view a, std::string_view b, std::size_t limite) {
  const std::size_t n = a.size(), m = b.size();
  if ((n > m ? n - m : m - n) > limite) return std::nullopt;  // each edit changes the length by one at most
  const std::size_t oltre = limite + 1;                       // any value beyond the limit
  // Rows i - 2, i - 1 and i of the table d[i][j] (edits from a[0, i) to b[0, j)), on the
  // stack for the short words it is asked about (a keyword, a command), else on the heap.
  constexpr std::size_t kSulloStack = 64;
  std::array<std::size_t, 3 * kSulloStack> piccole;
  std::vector<std::size_t> grandi;
  std::size_t* base = piccole.data();
  if (m + 1 > kSulloStack) {
    grandi.resize(3 * (m + 1));
    base = grandi.data();
  }
  const std::size_t larghezza = m + 1;
  const auto riga = [&](std::size_t k) { return base + (k % 3) * larghezza; };
  std::fill(base, base + 3 * larghezza, oltre);
  for (std::size_t j = 0; j <= std::min(m, limite); ++j) riga(0)[j] = j;
  for (std::size_t i = 1; i <= n; ++i) {
    std::size_t* const d = riga(i);
    const std::size_t* const su = riga(i - 1);
    const std::size_t* const due_su = riga(i + 1);  // row i - 2
    const std::size_t da = i > limite ? i - limite : 1;
    const std::size_t fino = std::min(m, i + limite);
    // Only the band is worked out; the cell on each side of it is all the next two rows
    // read of this one outside it.
    d[da - 1] = da == 1 && i <= limite ? i : oltre;
    if (fino < m) d[fino + 1] = oltre;
    for (std::size_t j = da; j <= fino; ++j) {
      std::size_t v = std::min({su[j] + 1, d[j - 1] + 1, su[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) v = std::min(v, due_su[j - 2] + 1);
      d[j] = std::min(v, oltre);
    }
  }
  const std::size_t d = riga(n)[m];
  return d <= limite ? std::optional<std::size_t>(d) : std::nullopt;
}

// The most edits a slip of the keyboard takes on a known word: one in three letters.
constexpr std::size_t modifiche_ammesse(std::size_t lunghezza) { return std::max<std::size_t>(lunghezza, 3) / 3; }

}  // namespace somiglianza

// Edits (insert, delete, replace one byte, swap two neighbours) that turn `a` into `b`.
inline std::size_t distanza_modifiche(std::string_view a, std::string_view b) {
  return *somiglianza::entro(a, b, std::max(a.size(), b.size()));
}

// The known word closest to `parola`, when it is close enough to be a slip of the
// keyboard: at most one edit in three letters (and never an exact match). A word longer
// or shorter than a known one by more edits than it allows is not compared with it.
inline std::optional<std::string> parola_vicina(std::string_view parola, const std::vector<std::string>& note) {
  std::optional<std::string> migliore;
  std::size_t minima = 0;
  for (const auto& n : note) {
    const auto d = somiglianza::entro(parola, n, somiglianza::modifiche_ammesse(n.size()));
    if (!d) continue;
    if (*d == 0) return std::nullopt;
    if (!migliore || *d < minima) {
      migliore = n;
      minima = *d;
    }
  }
  return migliore;
}

}  // namespace cmp
