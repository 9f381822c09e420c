#include "run/implant_loop.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orvane;

TEST(ImplantStart, UniformEnergySpreadStaysWithinItsWidth) {
  Ranmar rng;
  double low = 1e9, high = -1e9;
  for (int i = 0; i < 20000; ++i) {
    const double e = DrawEnergy(1000.0, 1, 10.0, rng);
    low = std::min(low, e);
    high = std::max(high, e);
  }
  EXPECT_GE(low, 995.0);
  EXPECT_LT(high, 1005.0);
  EXPECT_LT(low, 995.1);
  EXPECT_GT(high, 1004.9);
}

TEST(ImplantStart, GaussianEnergySpreadHasItsDeviation) {
  Ranmar rng;
  double sum = 0, sum2 = 0;
  const int n = 40000;
  for (int i = 0; i < n; ++i) {
    const double e = DrawEnergy(1000.0, 2, 10.0, rng);
    ASSERT_TRUE(std::isfinite(e));
    sum += e;
    sum2 += e * e;
  }
  const double mean = sum / n;
  EXPECT_NEAR(mean, 1000.0, 0.2);
  EXPECT_NEAR(std::sqrt(sum2 / n - mean * mean), 10.0, 0.2);
  // Any other law leaves the energy as it is and draws nothing.
  Ranmar a, b;
  EXPECT_EQ(DrawEnergy(1000.0, 0, 10.0, a), 1000.0);
  EXPECT_EQ(DrawEnergy(1000.0, 7, 10.0, a), 1000.0);
  EXPECT_EQ(a.Uniform(), b.Uniform());
}

TEST(ImplantStart, SpreadEnergiesAtOrBelowZeroAreDrawnAgain) {
  // Uniform over [-500, 2500): a sixth of the draws fall at or below 0 and
  // are drawn again, leaving the law uniform over (0, 2500).
  Ranmar rng;
  double sum = 0, low = 1e9;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    const double e = DrawEnergy(1000.0, 1, 3000.0, rng);
    ASSERT_GT(e, 0.0);
    ASSERT_LT(e, 2500.0);
    sum += e;
    low = std::min(low, e);
  }
  EXPECT_NEAR(sum / n, 1250.0, 15.0);
  EXPECT_LT(low, 1.0);
  for (int i = 0; i < n; ++i) ASSERT_GT(DrawEnergy(1000.0, 2, 1000.0, rng), 0.0);
  // A spread that never reaches 0 draws exactly as before.
  Ranmar a, b;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(DrawEnergy(1000.0, 1, 10.0, a), 1000.0 + (b.Uniform() - 0.5) * 10.0);
  }
}

TEST(ImplantStart, StartPositionsFoldIntoTheCellAroundTheOrigin) {
  const Vector cell(5.431, 5.431, 5.431), half(2.7155, 2.7155, 2.7155);
  const Vector folded = FoldStartIntoCell(Vector(-1.0, 4.0, 12.0), cell, half);
  EXPECT_DOUBLE_EQ(folded.x, -1.0);
  EXPECT_NEAR(folded.y, 4.0 - 5.431, 1e-12);
  EXPECT_NEAR(folded.z, 12.0 - 2 * 5.431, 1e-12);
  for (double p = -20.0; p < 20.0; p += 0.37) {
    const Vector f = FoldStartIntoCell(Vector(p, p, p), cell, half);
    EXPECT_LE(std::fabs(f.x), 2.7155 + 1e-12) << p;
    // The fold moves by whole cells only.
    const double cells = (p - f.x) / 5.431;
    EXPECT_NEAR(cells, std::round(cells), 1e-9) << p;
  }
}
