#include <gtest/gtest.h>

#include <array>

#include "reader/comune/fallimento_riga.h"
#include "reader/line/progressive_ordina.h"

namespace cmp {
namespace {

using terna = std::array<std::int32_t, 3>;  // position, kilometre value, flag

struct CasoOrdine {
  const char* nome;
  terna prima[3];  // entries 81, 82, 83 before
  terna dopo[3];
};

TEST(ProgressiveOrdina, SortsAsTheTableOfCasesSays) {
  const CasoOrdine casi[] = {
      {"built-in: only uno in use", {{0, 0, 0}, {0, 0, 0}, {0, 132100, 0}}, {{0, 132100, 0}, {0, 0, 0}, {0, 0, 0}}},
      {"greatest last, flag raises by 100",
       {{10000, 150000, 0}, {0, 140000, 0}, {20000, 160000, 1}},
       {{20000, 160100, 1}, {10000, 150000, 0}, {0, 140000, 0}}},
      {"81 greatest, 82 > 83", {{300, 3, 0}, {200, 2, 0}, {100, 1, 0}}, {{300, 3, 0}, {200, 2, 0}, {100, 1, 0}}},
      {"81 greatest, others equal: the later entry goes to 82",
       {{5000, 1, 0}, {0, 2, 0}, {0, 3, 0}},
       {{5000, 1, 0}, {0, 3, 0}, {0, 2, 0}}},
      {"82 greatest, 81 > 83", {{200, 2, 0}, {300, 3, 0}, {100, 1, 0}}, {{300, 3, 0}, {200, 2, 0}, {100, 1, 0}}},
      {"82 greatest, 81 <= 83", {{100, 1, 0}, {300, 3, 0}, {200, 2, 0}}, {{300, 3, 0}, {200, 2, 0}, {100, 1, 0}}},
      {"83 greatest, 81 <= 82", {{100, 1, 0}, {200, 2, 0}, {300, 3, 0}}, {{300, 3, 0}, {200, 2, 0}, {100, 1, 0}}},
      {"no position strictly greatest", {{5000, 1, 1}, {5000, 2, 1}, {0, 3, 1}}, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
      {"positions adding up to 0 order by kilometre value",
       {{100, 1, 0}, {-100, 120000, 0}, {0, 130000, 0}},
       {{0, 130000, 0}, {-100, 120000, 0}, {100, 1, 0}}},
      {"only 82 in use", {{0, 0, 0}, {0, 120000, 1}, {0, 0, 0}}, {{0, 120100, 1}, {0, 0, 0}, {0, 0, 0}}},
      {"positions adding up to 0, 82 in use: 81 and 83 keep their order behind it",
       {{100, -5, 0}, {-300, 120000, 0}, {200, 0, 0}},
       {{-300, 120000, 0}, {100, -5, 0}, {200, 0, 0}}},
      {"only 81 in use", {{0, 110000, 0}, {0, -5, 0}, {0, 0, 0}}, {{0, 110000, 0}, {0, -5, 0}, {0, 0, 0}}},
      {"nothing in use", {{0, 0, 1}, {0, -5, 1}, {0, 0, 1}}, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    Stato s;
    for (int i = 0; i < 3; ++i) {
      posizione_progressiva(s.scenario[kVoceProgressivaTre + i]) = c.prima[i][0];
      chilometri_progressiva(s.scenario[kVoceProgressivaTre + i]) = c.prima[i][1];
      bandiera_progressiva(s.scenario[kVoceProgressivaTre + i]) = c.prima[i][2];
    }
    progressive_ordina(s);
    for (int i = 0; i < 3; ++i) {
      const auto& v = s.scenario[kVoceProgressivaTre + i];
      EXPECT_EQ((terna{v.intero1, v.intero2, v.intero3}), c.dopo[i]) << "entry " << 81 + i;
    }
  }
}

TEST(ProgressiveOrdina, SumsBeyond32BitsFailAndChangeNothing) {
  const terna casi[][3] = {
      {{2000000000, 1, 0}, {2000000000, 2, 0}, {0, 3, 0}},
      {{0, 2147483600, 1}, {0, 0, 0}, {0, 0, 0}},
  };
  for (const auto& c : casi) {
    Stato s;
    for (int i = 0; i < 3; ++i) {
      posizione_progressiva(s.scenario[kVoceProgressivaTre + i]) = c[i][0];
      chilometri_progressiva(s.scenario[kVoceProgressivaTre + i]) = c[i][1];
      bandiera_progressiva(s.scenario[kVoceProgressivaTre + i]) = c[i][2];
    }
    EXPECT_THROW(progressive_ordina(s), FallimentoRiga);
    EXPECT_EQ(chilometri_progressiva(s.scenario[kVoceProgressivaTre]), c[0][1]);
  }
}

}  // namespace
}  // namespace cmp
