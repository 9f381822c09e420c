#include "core/thermal.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/libc_random.h"
#include "core/ranmar.h"
#include "core/site.h"
#include "support/displace_one_site.h"

using namespace orvane;

namespace {
AtomList Silicon(double debye = 519.0) {
  AtomList atoms;
  atoms.Add(Atom("Si", 28.086, 14, debye));
  return atoms;
}
}  // namespace

TEST(Thermal, AmplitudeOfSiliconAtZeroKelvin) {
  ThermalTable table;
  AtomList atoms = Silicon();
  ComputeAmplitudes(table, atoms, 0.0);
  const double expected = 12.063464 * std::sqrt(0.25 / (519.0 * 28.086));
  EXPECT_DOUBLE_EQ(atoms.First().TAmp, expected);
  EXPECT_NEAR(expected, 0.0499, 1e-4);
  EXPECT_DOUBLE_EQ(table.Amplitude(1), expected);
}

TEST(Thermal, AmplitudeGrowsWithTemperatureTowardsTheClassicalLimit) {
  ThermalTable table;
  AtomList atoms = Silicon();
  ComputeAmplitudes(table, atoms, 300.0);
  const double at300 = atoms.First().TAmp;
  ComputeAmplitudes(table, atoms, 3000.0);
  const double at3000 = atoms.First().TAmp;
  EXPECT_GT(at300, 0.0499);
  EXPECT_GT(at3000, at300);
  // High temperature: F tends to T / theta, <u^2> = 3 hbar^2 T / (M k theta^2).
  const double classical = 12.063464 * std::sqrt(3000.0 / 519.0 / (519.0 * 28.086));
  EXPECT_NEAR(at3000 / classical, 1.0, 1e-3);
}

TEST(Thermal, DebyeFactorIsContinuousAtTheSeriesLimit) {
  EXPECT_NEAR(DebyeFactor(2.16), DebyeFactor(2.16 + 1e-9), 1e-6);
  EXPECT_NEAR(DebyeFactor(2.16), DebyeFactor(std::nextafter(2.16, 3.0)), 1e-6);
  // Low temperature: the zero-point value 1/4 plus pi^2 / (6 x^2).
  EXPECT_NEAR(DebyeFactor(100.0), 0.25 + 9.869604401089358 / 60000.0, 1e-15);
}

TEST(Thermal, NoVibrationWhenSwitchedOffOrWithoutDebyeTemperature) {
  ThermalTable table;
  AtomList atoms = Silicon();
  ComputeAmplitudes(table, atoms, -1.0);
  EXPECT_EQ(atoms.First().TAmp, 0.0);
  Ranmar rng;
  Site site(1, 0, Vector(1, 2, 3), 1, 1.0);
  for (int i = 0; i < 100; ++i) orvane_test::DisplaceOneSite(table, site, 1, rng, ThermalSigns());
  EXPECT_EQ(site.R, Vector(1, 2, 3));

  AtomList cold = Silicon(0.0);
  ComputeAmplitudes(table, cold, 300.0);
  EXPECT_EQ(cold.First().TAmp, 0.0);
}

TEST(Thermal, QuantilesAreIncreasingPositiveDeviates) {
  ThermalTable table;
  AtomList atoms = Silicon();
  ComputeAmplitudes(table, atoms, 300.0);
  EXPECT_EQ(table.Values[0], 0.0);
  for (int i = 2; i < ThermalTable::kQuantiles; ++i)
    ASSERT_GT(table.Values[i], table.Values[i - 1]);
  // Upper tail 0.5 - 1000/4097 = 0.2559: z = 0.65598 to the approximation's 4.5e-4.
  EXPECT_NEAR(table.Values[1000], 0.65598, 4.5e-4);
}

TEST(Thermal, DisplacementsHaveTheAmplitudeAsTheirWidth) {
  ThermalTable table;
  AtomList atoms = Silicon();
  ComputeAmplitudes(table, atoms, 300.0);
  const double a = atoms.First().TAmp;
  Ranmar rng;
  double sum = 0, sum2 = 0;
  const int n = 40000;
  for (int i = 0; i < n; ++i) {
    Site site;
    orvane_test::DisplaceOneSite(table, site, 1, rng, ThermalSigns());
    sum += site.R.x + site.R.y + site.R.z;
    sum2 += site.R.Length2();
  }
  EXPECT_NEAR(sum / (3 * n), 0.0, 0.02 * a);
  EXPECT_NEAR(std::sqrt(sum2 / (3 * n)) / a, 1.0, 0.02);
}
