#include "model/somiglianza.h"

#include <gtest/gtest.h>

#include <random>

namespace cmp {
namespace {

// The edit distance as it was first computed, the whole (n+1) x (m+1) table: the answers
// the bounded one must give.
std::size_t distanza_con_tabella(std::string_view a, std::string_view b) {
  const std::size_t n = a.size(), m = b.size();
  std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
  for (std::size_t i = 0; i <= n; ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= m; ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[n][m];
}

std::optional<std::string> vicina_con_tabella(std::string_view parola, const std::vector<std::string>& note) {
  std::optional<std::string> migliore;
  std::size_t minima = 0;
  for (const auto& n : note) {
    const std::size_t d = distanza_con_tabella(parola, n);
    if (d == 0) return std::nullopt;
    if (d * 3 <= std::max<std::size_t>(n.size(), 3) && (!migliore || d < minima)) {
      migliore = n;
      minima = d;
    }
  }
  return migliore;
}

// A word with `quante` random edits of every kind.
std::string storpia(std::string w, int quante, std::mt19937& caso) {
  for (int k = 0; k < quante; ++k) {
    const std::size_t i = w.empty() ? 0 : caso() % w.size();
    const char c = static_cast<char>('a' + caso() % 4);
    switch (caso() % 4) {
      case 0:
        w.insert(w.begin() + static_cast<long>(i), c);
        break;
      case 1:
        if (!w.empty()) w.erase(i, 1);
        break;
      case 2:
        if (!w.empty()) w[i] = c;
        break;
      default:
        if (i + 1 < w.size()) std::swap(w[i], w[i + 1]);
    }
  }
  return w;
}

TEST(Somiglianza, TheBoundedDistanceAgreesWithTheWholeTable) {
  std::mt19937 caso(7);
  for (int volta = 0; volta < 3000; ++volta) {
    std::string a(caso() % 12, 'a'), b;
    for (char& c : a) c = static_cast<char>('a' + caso() % 3);  // few letters: many swaps and matches
    b = storpia(a, static_cast<int>(caso() % 5), caso);
    const std::size_t d = distanza_con_tabella(a, b);
    ASSERT_EQ(distanza_modifiche(a, b), d) << a << " " << b;
    for (std::size_t limite = 0; limite <= 6; ++limite) {
      ASSERT_EQ(somiglianza::entro(a, b, limite), d <= limite ? std::optional(d) : std::nullopt) << a << " " << b;
    }
  }
}

TEST(Somiglianza, TheNearestWordIsTheOneTheWholeTableNames) {
  const std::vector<std::string> note = {
      "stazione", "segnale", "rallentamento", "abbattimento", "velocita", "progressiva chilometrica uno",
      "sabbia",   "curva",   "--strict",      "dump"};
  std::mt19937 caso(11);
  for (int volta = 0; volta < 5000; ++volta) {
    const std::string parola = storpia(note[caso() % note.size()], static_cast<int>(caso() % 6), caso);
    ASSERT_EQ(parola_vicina(parola, note), vicina_con_tabella(parola, note)) << parola;
  }
}

// A word of 60 MB is told apart by its length alone: the table of the first computation
// would have taken 29 x 60 M cells for each known word.
TEST(Somiglianza, ALongWordIsNotCompared) {
  const std::string lunga(60'000'000, 'x');
  EXPECT_EQ(parola_vicina(lunga, {"stazione", "progressiva chilometrica uno"}), std::nullopt);
  EXPECT_EQ(somiglianza::entro(lunga, "stazione", 9), std::nullopt);
}

}  // namespace
}  // namespace cmp
