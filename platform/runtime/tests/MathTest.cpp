#include "platform/runtime/Math.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/runtime/Exceptions.h"

namespace {

TEST(Math, RoundGoesToTheEvenNeighbourOnHalves) {
  const struct {
    double Value;
    Int64 Expected;
  } cases[] = {
      {0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},   {-0.5, 0},  {-1.5, -2}, {-2.5, -2},
      {2.4999, 2}, {2.5001, 3}, {-2.5001, -3}, {0.49999999999999994, 0},
      {4503599627370497.0, 4503599627370497}, {1e15 + 0.5, 1000000000000000},
  };
  for (const auto& c : cases) EXPECT_EQ(Round(c.Value), c.Expected) << c.Value;
  EXPECT_THROW(Round(1e19), EInvalidOp);
  EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Int(-2.75), -2.0);
  EXPECT_EQ(Frac(-2.75), -0.75);
}

TEST(Math, MulDivRoundsHalvesAwayFromZeroAndFlagsFailureWithMinusOne) {
  const struct {
    Integer N, Num, Den, Expected;
  } cases[] = {
      {10, 3, 4, 8},      {-10, 3, 4, -8},   {10, -3, 4, -8},  {-10, -3, -4, -8},
      {10, 3, -4, -8},    {7, 1, 3, 2},      {8, 1, 3, 3},     {1, 1, 2, 1},
      {100000, 100000, 100000, 100000},        // the product needs 64 bits
      {0x7FFFFFFF, 2, 2, 0x7FFFFFFF},
      {5, 1, 0, -1},      {0x7FFFFFFF, 2, 1, -1}, {-0x7FFFFFFF - 1, -1, 1, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.N, c.Num, c.Den), c.Expected) << c.N << "*" << c.Num << "/" << c.Den;
}

}  // namespace
