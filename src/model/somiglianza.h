#pragma once
// The nearest of a list of known words, for "did you mean ...?" in messages.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cmp {

// Edits (insert, delete, replace one byte, swap two neighbours) that turn `a` into `b`.
inline std::size_t distanza_modifiche(std::string_view a, std::string_view b) {
  const std::size_t n = a.size(), m = b.size();
  std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
  for (std::size_t i = 0; i <= n; ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= m; ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[n][m];
}

// The known word closest to `parola`, when it is close enough to be a slip of the
// keyboard: at most one edit in three letters (and never an exact match).
inline std::optional<std::string> parola_vicina(std::string_view parola, const std::vector<std::string>& note) {
  std::optional<std::string> migliore;
  std::size_t minima = 0;
  for (const auto& n : note) {
    const std::size_t d = distanza_modifiche(parola, n);
    if (d == 0) return std::nullopt;
    if (d * 3 <= std::max<std::size_t>(n.size(), 3) && (!migliore || d < minima)) {
      migliore = n;
      minima = d;
    }
  }
  return migliore;
}

}  // namespace cmp
