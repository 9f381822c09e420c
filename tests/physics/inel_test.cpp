#include "physics/inel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "physics/ssf.h"
#include "stopping_test_tables.h"
#include "support/test_support.h"

using namespace orvane;
using orvane_test::FileExists;
using orvane_test::RegexLiteral;
using orvane_test::TempDir;
using stopping_test::ReadDoubles;
using stopping_test::WriteDoubles;

namespace {

// The friction coefficient written out from its definition: the overlap
// integrals of the squared ZBL screening, seen from each nucleus at its
// share of the distance.
double ReferenceFriction(double p, double za, double zb) {
  const double zmax = std::max(za, zb);
  const double zmin = std::min(za, zb);
  SSF ssf;
  ssf.Init(static_cast<int>(zmax), static_cast<int>(zmin), kZblUniversal);
  const double a = 0.4683766 / (std::pow(zmax, 0.23) + std::pow(zmin, 0.23));
  auto phi = [&](double r) {
    const int k = static_cast<int>(r / 0.005);
    if (k > 997) return 0.0;
    return ssf.Phi[k] + (ssf.Phi[k + 1] - ssf.Phi[k]) * (r / 0.005 - k);
  };
  auto overlap = [&](double x0) {
    if (x0 >= 30) return 1e-10;
    double sum = 0.0;
    for (double x = x0; x < 30; x += 0.02) sum += 0.02 * std::pow(phi(a * x), 2) / x;
    return sum;
  };
  const double f = 1.0 / (1.0 + std::pow(zmin / zmax, 1.0 / 6.0));
  const double xa = std::cbrt(zmax) * f * p / 0.4685025144;
  const double xb = std::cbrt(zmin) * (1.0 - f) * p / 0.4685025144;
  return 7.549079e-15 * (zmax * zmax * overlap(xa) + zmin * zmin * overlap(xb));
}

double Entry(int k) { return 0.001 + 0.015 * k; }

class InelTables : public stopping_test::WithStoppingTables {};
class InelTablesDeathTest : public stopping_test::WithStoppingTables {};

}  // namespace

TEST_F(InelTables, BothOrdersOfAPairShareOneTableFile) {
  TempDir dir;
  PointTablesAt(dir.Path() + "/");
  Inel inel;
  testing::internal::CaptureStderr();
  const double forward = inel.FFF(0.7, 14, 5);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Generating     local inelastic stopping table, Z1 = 14, Z2 = 5 : 1000\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(inel.FFF(0.7, 5, 14), forward);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(orvane_test::ReadFile(dir.File("InelLocal_05_14.dat")).size(), 8000u);
  EXPECT_FALSE(FileExists(dir.File("InelLocal_14_05.dat")));

  Inel later;
  testing::internal::CaptureStderr();
  EXPECT_EQ(later.FFF(0.7, 5, 14), forward);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Reading " + dir.File("InelLocal_05_14.dat") + "\n");
}

TEST_F(InelTables, EntriesAreTheFrictionAtTheirDistances) {
  Inel inel;
  inel.FFF(1.0, 14, 5);
  inel.FFF(1.0, 14, 14);
  const std::vector<double> mixed =
      ReadDoubles(stopping_test::SharedTableDir() + "InelLocal_05_14.dat");
  const std::vector<double> equal =
      ReadDoubles(stopping_test::SharedTableDir() + "InelLocal_14_14.dat");
  ASSERT_EQ(mixed.size(), 1000u);
  ASSERT_EQ(equal.size(), 1000u);
  for (int k : {0, 1, 2, 67, 133, 400, 998, 999}) {
    EXPECT_NEAR(mixed[k], ReferenceFriction(Entry(k), 14, 5), 1e-9 * mixed[k]) << k;
    EXPECT_NEAR(equal[k], ReferenceFriction(Entry(k), 14, 14), 1e-9 * equal[k]) << k;
  }
  // The friction falls as the clouds separate.
  for (int k = 1; k < 1000; ++k) ASSERT_LT(mixed[k], mixed[k - 1]) << k;
}

TEST_F(InelTables, LookUpPlacesEntryKAtFifteenThousandthsTimesK) {
  Inel inel;
  inel.FFF(1.0, 14, 5);
  const std::vector<double> t =
      ReadDoubles(stopping_test::SharedTableDir() + "InelLocal_05_14.dat");
  for (double p : {0.0, 0.0005, 0.0151, 0.5, 1.234, 3.0, 9.99, 14.98, 14.9849}) {
    const int k = static_cast<int>(p / 0.015);
    const double expected = t[k] + (t[k + 1] - t[k]) * (p * 1000 / 15 - k);
    EXPECT_NEAR(inel.FFF(p, 14, 5), expected, 1e-14 * std::abs(expected)) << p;
  }
}

TEST_F(InelTables, FromTheLastEntryOnTheFrictionIsComputedDirectly) {
  Inel inel;
  for (double p : {14.985, 14.99, 16.0, 21.5})
    EXPECT_NEAR(inel.FFF(p, 14, 5), ReferenceFriction(p, 14, 5),
                1e-12 * ReferenceFriction(p, 14, 5))
        << p;
  // Far apart only the floor of both overlap integrals remains.
  EXPECT_NEAR(inel.FFF(50.0, 14, 5), 7.549079e-15 * 1e-10 * (14 * 14 + 5 * 5), 1e-36);
  EXPECT_NEAR(inel.FFF(80.0, 5, 14), 7.549079e-15 * 1e-10 * (14 * 14 + 5 * 5), 1e-36);
}

// Atomic numbers of 60 and more have slots of their own.
TEST_F(InelTables, HeavyElementsHaveTablesToo) {
  Inel inel;
  struct Pair {
    double za, zb;
    const char* file;
  };
  for (const Pair& pair :
       {Pair{74, 14, "InelLocal_14_74.dat"}, Pair{102, 102, "InelLocal_102_102.dat"}}) {
    SCOPED_TRACE(pair.file);
    // Just past the distance 0.015 k the look-up gives entry k.
    const double p = 0.015 * 33 + 1e-12;
    const double friction = inel.FFF(p, pair.za, pair.zb);
    const std::vector<double> t = ReadDoubles(stopping_test::SharedTableDir() + pair.file);
    ASSERT_EQ(t.size(), 1000u);
    EXPECT_NEAR(friction, t[33], 1e-9 * t[33]);
    EXPECT_NEAR(t[33], ReferenceFriction(Entry(33), pair.za, pair.zb), 1e-9 * t[33]);
    EXPECT_EQ(inel.FFF(p, pair.zb, pair.za), friction);
  }
}

TEST_F(InelTables, AShortFileIsComputedAgainAndReplaced) {
  TempDir dir;
  PointTablesAt(dir.Path() + "/");
  const std::string path = dir.File("InelLocal_05_14.dat");
  WriteDoubles(path, std::vector<double>(10, 42.0));
  Inel inel;
  testing::internal::CaptureStderr();
  const double expected = ReferenceFriction(Entry(3), 14, 5);
  EXPECT_NEAR(inel.FFF(0.045, 14, 5), expected, 1e-9 * expected);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Warning: " + path + " holds 10 of 1000 values; it is computed again\n"
            "# Generating     local inelastic stopping table, Z1 = 14, Z2 = 5 : 1000\n");
  EXPECT_EQ(ReadDoubles(path).size(), 1000u);
}

TEST_F(InelTablesDeathTest, TableThatCannotBeWrittenEndsTheRun) {
  PointTablesAt("/nonexistent-orvane-dir/");
  Inel inel;
  EXPECT_EXIT(inel.FFF(1.0, 14, 5), testing::ExitedWithCode(301 & 0xFF),
              RegexLiteral("# Error: Inel::FFF, Can't write in "
                           "/nonexistent-orvane-dir/InelLocal_05_14.dat\n"));
}

TEST_F(InelTablesDeathTest, AtomicNumbersBeyondTheElementsAreRefused) {
  Inel inel;
  EXPECT_DEATH(inel.FFF(1.0, 103, 5), RegexLiteral("Z>=1 && Z<=102"));
  EXPECT_DEATH(inel.FFF(1.0, 14, 0), RegexLiteral("Z>=1 && Z<=102"));
  EXPECT_DEATH(inel.FFF(-0.1, 14, 5), RegexLiteral("p>=0"));
}

namespace {

constexpr double kBoron = 10.81;  // amu

// A boron ion passing a silicon atom at rest at the origin: in along x at
// the impact parameter b, out along y.
Encounter Passage(double energy, double length, double b) {
  Encounter e;
  e.z1 = 5;
  e.m1 = kBoron;
  e.projectileStart = Vector(-length, b, 0.0);
  e.incoming = UnitX;
  e.startEnergy = energy;
  e.endEnergy = energy;
  e.pathLength = length;
  e.z2 = 14;
  e.outgoing = Vector(0.0, 1.0, 0.0);
  return e;
}

double SpeedWeighted(double v, double friction) {
  const double w = std::exp(-v * v / 0.49);
  const double slow = 2 * w / (w * w + 1);
  return slow * friction * v * 2187690 + (1 - slow) * 0.7 * friction / (v * 2187690);
}

}  // namespace

TEST_F(InelTables, NoPathNoLoss) {
  TempDir dir;
  PointTablesAt(dir.Path() + "/");
  Inel inel;
  EXPECT_EQ(inel.LocalLoss(Passage(1000.0, 0.0, 0.3)), 0.0);
  EXPECT_EQ(inel.LocalLoss(Passage(1000.0, -1.0, 0.3)), 0.0);
  EXPECT_FALSE(FileExists(dir.File("InelLocal_05_14.dat")));
}

// Six sub-steps in, at the energies running from the start to the end
// energy, and six out at the start energy, while the target atom moves.
TEST_F(InelTables, LossSumsTheFrictionOverSixSubStepsOfEachPath) {
  Inel inel;
  Encounter e = Passage(2000.0, 1.2, 0.25);
  e.endEnergy = 1400.0;
  e.targetStart = Vector(0.0, 0.0, 0.0);
  e.targetEnd = Vector(0.06, -0.03, 0.0);
  e.targetFurther = Vector(4.0, -2.0, 0.0);  // only its direction counts
  const double speedFactor = std::sqrt(4.0028650643040303e-05 / kBoron);
  const double s = 1.2 / 6;
  const Vector targetStep = Vector(0.01, -0.005, 0.0);
  double sum = 0.0;
  for (int i = 0; i < 6; ++i) {
    const Vector projectile(-1.2 + i * s, 0.25, 0.0);
    const double energy = 2000.0 - 600.0 * i / 6;
    sum += SpeedWeighted(std::sqrt(energy) * speedFactor,
                         inel.FFF(Distance(projectile, targetStep * i), 5, 14));
  }
  for (int i = 0; i < 6; ++i) {
    const Vector projectile(0.0, 0.25 + i * s, 0.0);
    const Vector target = e.targetEnd + Normalized(e.targetFurther) * (targetStep.Length() * i);
    sum += SpeedWeighted(std::sqrt(2000.0) * speedFactor,
                         inel.FFF(Distance(projectile, target), 5, 14));
  }
  const double expected = s * sum * 1e-10 / 1.60217733e-19;
  EXPECT_NEAR(inel.LocalLoss(e), expected, 1e-12 * expected);
  e.targetFurther = Vector(0.2, -0.1, 0.0);
  EXPECT_NEAR(inel.LocalLoss(e), expected, 1e-12 * expected);
  std::swap(e.z1, e.z2);
  EXPECT_NEAR(inel.LocalLoss(e), expected, 1e-12 * expected);
}

TEST_F(InelTables, SlowIonsLoseInProportionToSpeedAndFastOnesInInverseProportion) {
  Inel inel;
  const double slow = inel.LocalLoss(Passage(100.0, 1.0, 0.3));
  EXPECT_NEAR(inel.LocalLoss(Passage(400.0, 1.0, 0.3)) / slow, 2.0, 1e-3);
  const double fast = inel.LocalLoss(Passage(4e7, 1.0, 0.3));
  EXPECT_NEAR(inel.LocalLoss(Passage(16e7, 1.0, 0.3)) / fast, 0.5, 1e-3);
  // Closer passages lose more.
  EXPECT_GT(inel.LocalLoss(Passage(100.0, 1.0, 0.1)), slow);
  EXPECT_EQ(inel.LocalLoss(Passage(0.0, 1.0, 0.3)), 0.0);
}
