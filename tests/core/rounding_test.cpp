#include "core/rounding.h"

#include <gtest/gtest.h>

namespace orniva {

TEST(Rounding, RoundIsHalfToEvenTruncIsTowardZero) {
  struct Case {
    double x;
    int64_t round, trunc;
  };
  const Case cases[] = {
      {2.5, 2, 2},
      {3.5, 4, 3},
      {-2.5, -2, -2},
      {-3.5, -4, -3},
      {0.5, 0, 0},
      {-0.5, 0, 0},
      {1.5, 2, 1},
      {2.4999, 2, 2},
      {2.5001, 3, 2},
      {-2.7, -3, -2},
      {1e9 + 0.5, 1000000000, 1000000000},
      {0.0, 0, 0},
      {-1.2, -1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Round(c.x), c.round) << c.x;
    EXPECT_EQ(Trunc(c.x), c.trunc) << c.x;
  }
}

TEST(Rounding, DivAndModTruncateTowardZero) {
  EXPECT_EQ(Div(7, 2), 3);
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Mod(-7, 2), -1);
  EXPECT_EQ(Mod(7, -2), 1);
}

}  // namespace orniva
