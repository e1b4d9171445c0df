#include "model/arrotonda.h"

#include <gtest/gtest.h>

namespace cmp {
namespace {

TEST(Arrotonda, HalvesGoToTheEvenNeighbour) {
  struct Caso {
    double x;
    std::int64_t atteso;
  };
  const Caso casi[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {140.5, 140},
      {141.5, 142},
      {89.5, 90},
      {-0.5, 0},
      {-1.5, -2},
      {-2.5, -2},
      {2.4999, 2},
      {2.5001, 3},
      {-2.5001, -3},
      {0.0, 0},
      {-0.0, 0},
      {7.0, 7},
      {-7.0, -7},
      {1e15 + 0.5, 1000000000000000},
  };
  for (const auto& c : casi) EXPECT_EQ(arrotonda(c.x), c.atteso) << "x = " << c.x;
}

TEST(Arrotonda, RoundsPositionsToTheirCells) {
  // The mapping p / 50 (+ 1) of the track: 75 and 125 both go to cell 2 without the +1.
  EXPECT_EQ(arrotonda(75 / 50.0), 2);
  EXPECT_EQ(arrotonda(125 / 50.0), 2);
  EXPECT_EQ(arrotonda(4425 / 50.0 + 1), 90);
  EXPECT_EQ(arrotonda((25 + 7000) / 50.0), 140);
  EXPECT_EQ(arrotonda((75 + 7000) / 50.0), 142);
}

}  // namespace
}  // namespace cmp
