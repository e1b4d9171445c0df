#include "model/indice_righe.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace cmp {
namespace {

// The lines of a text found by walking it from its first byte, as messages once did.
struct riferimento {
  std::vector<std::size_t> inizi;  // of lines 1, 2, ...
  explicit riferimento(std::string_view t) {
    inizi.push_back(0);
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '\n') inizi.push_back(i + 1);
    }
  }
  IndiceRighe::posto luogo(std::size_t offset) const {
    std::size_t riga = 0;
    while (riga + 1 < inizi.size() && inizi[riga + 1] <= offset) ++riga;
    return {static_cast<int>(riga) + 1, static_cast<int>(offset - inizi[riga]) + 1};
  }
};

std::string casuale(std::size_t n, std::uint32_t seme, std::string_view alfabeto) {
  std::mt19937 caso(seme);
  std::string out(n, ' ');
  for (char& c : out) c = alfabeto[caso() % alfabeto.size()];
  return out;
}

// Texts of every shape a look-up must cross: lines short and long (past a block of the
// index), runs of empty lines, CR LF and lone CR, a text that ends with its line end or not.
TEST(IndiceRighe, FindsWhatAWalkFromTheFirstByteFinds) {
  const std::string lunga(200'000, 'x');
  const struct {
    const char* nome;
    std::string testo;
  } casi[] = {
      {"empty", ""},
      {"one line", "abc"},
      {"ending with its line end", "abc\r\n"},
      {"empty lines", std::string(1000, '\n')},
      {"short lines of every ending", casuale(20'000, 1, "ab\n\r")},
      {"a line longer than a block, between short ones",
       casuale(3000, 2, "ab\n") + lunga + "\r\n" + casuale(3000, 3, "a\n")},
      {"long lines only", lunga + "\n" + lunga + "\n" + lunga},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const IndiceRighe indice(c.testo);
    const riferimento atteso(c.testo);
    ASSERT_EQ(indice.righe(), static_cast<int>(atteso.inizi.size()));
    for (int r = 1; r <= indice.righe(); ++r) {
      ASSERT_EQ(indice.inizio(r), atteso.inizi[static_cast<std::size_t>(r - 1)]) << r;
    }
    EXPECT_EQ(indice.inizio(0), std::nullopt);
    EXPECT_EQ(indice.inizio(indice.righe() + 1), std::nullopt);
    for (std::size_t o = 0; o <= c.testo.size(); o += 1 + o / 7) {
      const auto l = indice.luogo(o);
      const auto a = atteso.luogo(o);
      ASSERT_EQ(std::pair(l.riga, l.colonna), std::pair(a.riga, a.colonna)) << o;
    }
  }
}

TEST(IndiceRighe, GivesALineWithoutItsEndAndCutToWhatIsAsked) {
  const std::string t = "uno\r\ndue\n\r\ntre\rquattro\r\n" + std::string(300, 'y') + "\r\nfine\r";
  const IndiceRighe indice(t);
  EXPECT_EQ(indice.riga(1, 100), "uno");
  EXPECT_EQ(indice.riga(2, 100), "due");
  EXPECT_EQ(indice.riga(3, 100), "");
  EXPECT_EQ(indice.riga(4, 100), "tre\rquattro");  // a lone CR is an ordinary byte
  EXPECT_EQ(indice.riga(5, 100), std::string(100, 'y'));
  EXPECT_EQ(indice.riga(5, 302), std::string(300, 'y'));
  EXPECT_EQ(indice.riga(5, 301), std::string(300, 'y') + "\r") << "the end is beyond what was asked";
  EXPECT_EQ(indice.riga(6, 100), "fine");
  EXPECT_EQ(indice.riga(7, 100), std::nullopt);
}

}  // namespace
}  // namespace cmp
