#include "physics/indexes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

TEST(EnergyGrid, TwelvePointsPerDecadeWithTheIrregularPoints) {
  for (int k = 0; k < N_ENERGY; ++k) {
    const double value = EnergyIndexToValue(k).lower;
    const double rule = 10.0 * std::pow(10.0, k / 12.0);
    if (k % 12 == 3) {
      EXPECT_NEAR(value, 2.008546611 * std::pow(10.0, k / 12 + 1), 1e-9 * value) << k;
    } else if (k % 12 == 1 && k > 1) {
      EXPECT_NEAR(value, 1.211527569 * std::pow(10.0, k / 12 + 1), 1e-9 * value) << k;
    } else {
      EXPECT_NEAR(value, rule, 1e-9 * rule) << k;
    }
    if (k > 0) {
      EXPECT_GT(value, EnergyIndexToValue(k - 1).lower) << k;
    }
  }
  EXPECT_EQ(EnergyIndexToValue(0).lower, 10.0);
  EXPECT_EQ(EnergyIndexToValue(1).lower, 12.11527659);
  EXPECT_EQ(EnergyIndexToValue(3).lower, 20.08546611);
  EXPECT_EQ(EnergyIndexToValue(13).lower, 121.1527569);
  EXPECT_EQ(EnergyIndexToValue(15).lower, 200.8546611);
  EXPECT_EQ(EnergyIndexToValue(61).lower, 1211527.569);
  EXPECT_EQ(EnergyIndexToValue(63).lower, 2008546.611);
  EXPECT_EQ(EnergyIndexToValue(71).lower, 8254041.852);
}

TEST(ImpactGrid, ValuesAsListed) {
  const double head[] = {0.0005, 0.001, 0.005, 0.01, 0.03, 0.05, 0.1,
                         0.15,   0.2,   0.3,   0.4,  0.6,  0.8,  1.0};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(ImpactIndexToValue(i).lower, head[i]) << i;
  for (int i = 14; i < 29; ++i)
    EXPECT_NEAR(ImpactIndexToValue(i).lower, 1.2 + 0.2 * (i - 14), 1e-12);
  EXPECT_EQ(ImpactIndexToValue(29).lower, 5.0);
}

TEST(Grids, CellsReachToTheNextPointAndTheLastIsDegenerate) {
  EXPECT_EQ(EnergyIndexToValue(4).upper, EnergyIndexToValue(5).lower);
  EXPECT_EQ(ImpactIndexToValue(28).upper, 5.0);
  EXPECT_EQ(EnergyIndexToValue(71).upper, EnergyIndexToValue(71).lower);
  EXPECT_EQ(ImpactIndexToValue(29).upper, 5.0);
}

TEST(Grids, AnglesHaveTheSinglePointZero) {
  EXPECT_EQ(PhiIndexToValue(0).lower, 0.0);
  EXPECT_EQ(ThetaIndexToValue(0).lower, 0.0);
  EXPECT_EQ(AlphaIndexToValue(0).lower, 0.0);
}

TEST(ValueToIndex, FindsTheCellWhoseLowerEdgeIsAtOrBelow) {
  EXPECT_EQ(EnergyValueToIndex(5.0), 0);
  EXPECT_EQ(EnergyValueToIndex(-1.0), 0);
  EXPECT_EQ(EnergyValueToIndex(10.0), 0);
  EXPECT_EQ(EnergyValueToIndex(12.11527659), 1);
  EXPECT_EQ(EnergyValueToIndex(12.1152765), 0);
  EXPECT_EQ(EnergyValueToIndex(1000.0), 24);
  EXPECT_EQ(EnergyValueToIndex(999.999), 23);
  EXPECT_EQ(EnergyValueToIndex(8254041.85), 70);
  EXPECT_EQ(EnergyValueToIndex(8254041.852), 71);
  EXPECT_EQ(EnergyValueToIndex(1e9), 71);
  for (int k = 0; k < N_ENERGY; ++k) EXPECT_EQ(EnergyValueToIndex(EnergyIndexToValue(k).lower), k);

  EXPECT_EQ(ImpactValueToIndex(0.0), 0);
  EXPECT_EQ(ImpactValueToIndex(0.0007), 0);
  EXPECT_EQ(ImpactValueToIndex(0.001), 1);
  EXPECT_EQ(ImpactValueToIndex(4.999), 28);
  EXPECT_EQ(ImpactValueToIndex(5.0), 29);
  EXPECT_EQ(ImpactValueToIndex(7.0), 29);
  for (int i = 0; i < N_S; ++i) EXPECT_EQ(ImpactValueToIndex(ImpactIndexToValue(i).lower), i);
  // Just below and above each point, and a value that is not a number.
  for (int i = 1; i < N_S; ++i) {
    const double point = ImpactIndexToValue(i).lower;
    EXPECT_EQ(ImpactValueToIndex(std::nextafter(point, 0.0)), i - 1);
    EXPECT_EQ(ImpactValueToIndex(std::nextafter(point, 10.0)), i);
  }
  for (int k = 1; k < N_ENERGY; ++k) {
    EXPECT_EQ(EnergyValueToIndex(std::nextafter(EnergyIndexToValue(k).lower, 0.0)), k - 1);
  }
  EXPECT_EQ(ImpactValueToIndex(std::nan("")), N_S - 1);
  EXPECT_EQ(EnergyValueToIndex(std::nan("")), N_ENERGY - 1);
}

TEST(IndexToValueDeathTest, IndicesOutOfRangeFailTheirAssertions) {
  EXPECT_DEATH(EnergyIndexToValue(72), "Index>=0&&Index<=N_ENERGY-1, unit indexes");
  EXPECT_DEATH(EnergyIndexToValue(-1), "Index>=0&&Index<=N_ENERGY-1");
  EXPECT_DEATH(ImpactIndexToValue(30), "Index>=0&&Index<=N_S-1");
  EXPECT_DEATH(PhiIndexToValue(1), "Index>=0&&Index<=N_PHI-1");
  EXPECT_DEATH(ThetaIndexToValue(1), "Index>=0&&Index<=N_THETA-1");
  EXPECT_DEATH(AlphaIndexToValue(-1), "Index>=0&&Index<=N_ALPHA-1");
}

}  // namespace
}  // namespace orvane
