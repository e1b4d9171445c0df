// The kilometre rule: which references count once ordered, and the reading at a metre.
#include <gtest/gtest.h>

#include "model/chilometri.h"

namespace cmp {
namespace {

voce_scenario progressiva(std::int32_t posizione, std::int32_t chilometri, std::int32_t bandiera = 0) {
  voce_scenario v;
  posizione_progressiva(v) = posizione;
  chilometri_progressiva(v) = chilometri;
  bandiera_progressiva(v) = bandiera;
  return v;
}

TEST(Chilometri, EachReferenceCountsFromItsPositionToTheNext) {
  struct caso {
    const char* nome;
    voce_scenario tre, due, uno;  // entries 81, 82, 83 as the ordering leaves them
    std::vector<tratto_chilometrico> tratti;
  };
  const caso casi[] = {
      {"no reference: km = position", {}, {}, {}, {{0, 0, 81}}},
      {"one reference", progressiva(0, 132100), {}, {}, {{0, 132100, 81}}},
      {"two, the greatest first",
       progressiva(5000, 150100, 1),
       progressiva(0, 132100),
       {},
       {{0, 132100, 82}, {5000, 150100, 81}}},
      {"three",
       progressiva(8000, 40000),
       progressiva(5000, 150000),
       progressiva(1000, 10000),
       {{1000, 10000, 83}, {5000, 150000, 82}, {8000, 40000, 81}}},
      // All at position 0: only the one in use (81); an all-zero entry is no reference.
      {"all at 0", progressiva(0, 132100), progressiva(0, 99000), {}, {{0, 132100, 81}}},
      {"an all-zero entry beside two",
       progressiva(5000, 150000),
       progressiva(1000, 20000),
       {},
       {{1000, 20000, 82}, {5000, 150000, 81}}},
      {"a flag alone makes an entry count",
       progressiva(5000, 150000),
       progressiva(0, 100, 1),
       {},
       {{0, 100, 82}, {5000, 150000, 81}}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(tratti_chilometrici(c.tre, c.due, c.uno), c.tratti);
  }
}

TEST(Chilometri, AMetreReadsOnTheLastPieceStartedAndBeforeTheFirstRunsItBackwards) {
  const std::vector<tratto_chilometrico> tratti = {{1000, 10000, 83}, {5000, 150000, 82}, {8000, 40000, 81}};
  const std::pair<std::int64_t, std::int64_t> casi[] = {{0, 9000},      {1000, 10000}, {4950, 13950},  {5000, 150000},
                                                        {7999, 152999}, {8000, 40000}, {20000, 52000}, {-50, 8950}};
  for (const auto& [metro, km] : casi) EXPECT_EQ(chilometro_a(tratti, metro), km) << metro;
}

}  // namespace
}  // namespace cmp
