#include "physics/collision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "physics/indexes.h"
#include "physics/scattering_integral.h"

namespace orvane {
namespace {

struct Pair {
  SSF ssf;
  NucleusPair nuclei;
  Pair(int z1, int z2, double w1, double w2, int type = kZblUniversal) {
    ssf.Init(z1, z2, type);
    nuclei = NucleusPair(ssf, z1, z2, w1, w2);
  }
  CollisionOutcome At(double energy, double impact,
                      StepControl control = StepControl::kRefined) const {
    return Collide(nuclei, energy, impact, control);
  }
};

bool Identical(const CollisionOutcome& a, const CollisionOutcome& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(Collision, HeadOnCollisionOfEqualMassesTransfersTheWholeEnergy) {
  const Pair silicon(14, 14, 28.086, 28.086);
  const CollisionOutcome o = silicon.At(10.0, 0.0005);
  // The projectile starts 3 A from the target, already 0.25 eV up the
  // potential, which the collision adds to its energy; the rest is the
  // integration's own error.
  const orvane_test::CentralPotential zbl = orvane_test::ZblPotential(14, 14);
  EXPECT_NEAR(zbl(3.0) - zbl(4.99), 0.25, 0.01);
  EXPECT_NEAR(o.RecoilEnergy, 10.0 + zbl(3.0) - zbl(4.99), 0.03);
  EXPECT_LT(o.ProjectileEnergy, 0.01);
  EXPECT_GT(o.RecoilCosine, 0.9999);
  EXPECT_EQ(o.EnergyLoss, 0.0);
  EXPECT_EQ(o.PathLength, 0.0);
}

TEST(Collision, NothingHappensBeyondTheReachOfTheForce) {
  const Pair pair(5, 14, 10.811, 28.086);
  for (double energy : {10.0, 1e4, 8e6}) {
    const CollisionOutcome o = pair.At(energy, 5.0);
    EXPECT_DOUBLE_EQ(o.ProjectileEnergy, energy);
    EXPECT_EQ(o.RecoilEnergy, 0.0);
    EXPECT_EQ(o.RecoilCosine, 0.0);
    EXPECT_EQ(o.ProjectileIntersection, 0.0);
    EXPECT_EQ(o.RecoilIntersection, 0.0);
  }
}

TEST(Collision, ScatteringWeakensWithTheImpactParameter) {
  const Pair pair(14, 5, 28.086, 10.811);
  for (double energy : {10.0, 1000.0, 1e5}) {
    double previous = energy;
    for (int i = 0; i < N_S; ++i) {
      const double recoil = pair.At(energy, ImpactIndexToValue(i).lower).RecoilEnergy;
      EXPECT_LT(recoil, previous) << energy << " eV, index " << i;
      previous = recoil;
    }
  }
}

TEST(Collision, MoliereScreeningAgreesWithTheScatteringIntegral) {
  const Pair pair(14, 14, 28.086, 28.086, kMoliere);
  const double a = pair.ssf.a;
  orvane_test::CentralPotential moliere{
      9e9 * 1.60217733e-19 * 1e10 * 14 * 14, [a](double r) {
        const double x = r / a;
        return 0.35 * std::exp(-0.3 * x) + 0.55 * std::exp(-1.2 * x) + 0.1 * std::exp(-6.0 * x);
      }};
  for (double impact : {0.01, 0.1, 0.4, 1.0}) {
    const double expected = orvane_test::RecoilEnergy(moliere, 28.086, 28.086, 1000.0, impact);
    EXPECT_NEAR(pair.At(1000.0, impact).RecoilEnergy, expected, 0.02 * expected) << impact;
  }
}

TEST(Collision, SideBySideIntegrationEndsAsEachAlone) {
  const Pair pair(14, 5, 28.086, 10.811);
  for (auto [first, second] : {std::pair{0.0005, 5.0}, {5.0, 0.0005}, {0.3, 0.4}}) {
    for (double energy : {10.0, 1e5}) {
      for (StepControl control : {StepControl::kFixed, StepControl::kRefined}) {
        CollisionIntegration a(pair.nuclei, energy, first, control);
        CollisionIntegration b(pair.nuclei, energy, second, control);
        CollideTogether(a, b);
        EXPECT_TRUE(Identical(a.Outcome(), pair.At(energy, first, control))) << first;
        EXPECT_TRUE(Identical(b.Outcome(), pair.At(energy, second, control))) << second;
        EXPECT_FALSE(a.Step());
      }
    }
  }
}

// The fixed step of 0.001 A of initial flight is far too coarse in close
// collisions at high energy: at 1 MeV head-on it creates three quarters of
// the incoming energy.  The refined step conserves it.
TEST(StepRefinement, MendsTheEnergyCreatedInCloseCollisions) {
  const Pair pair(5, 14, 10.811, 28.086);
  const CollisionOutcome fixed = pair.At(1e6, 0.0005, StepControl::kFixed);
  EXPECT_NEAR((fixed.ProjectileEnergy + fixed.RecoilEnergy) / 1e6, 1.776, 0.01);
  const CollisionOutcome refined = pair.At(1e6, 0.0005, StepControl::kRefined);
  EXPECT_NEAR((refined.ProjectileEnergy + refined.RecoilEnergy) / 1e6, 1.0, 0.01);
}

// Wherever the fixed step is fine enough the refinement leaves it alone:
// the outcome is bit for bit that of the fixed step.
TEST(StepRefinement, LeavesTheFixedSchemeWhereItIsFineEnough) {
  const Pair pair(5, 14, 10.811, 28.086);
  for (int e = 0; e < N_ENERGY; e += 5) {
    const double energy = EnergyIndexToValue(e).lower;
    for (int i = 0; i < N_S; i += 2) {
      const double impact = ImpactIndexToValue(i).lower;
      if (energy > 1000.0 && impact < 0.2) continue;
      EXPECT_TRUE(Identical(pair.At(energy, impact, StepControl::kFixed),
                            pair.At(energy, impact, StepControl::kRefined)))
          << energy << " eV, " << impact << " A";
    }
  }
}

TEST(StepRefinement, ActsInCloseCollisionsOnly) {
  const Pair pair(5, 14, 10.811, 28.086);
  EXPECT_FALSE(Identical(pair.At(1e5, 0.01, StepControl::kFixed),
                         pair.At(1e5, 0.01, StepControl::kRefined)));
}

}  // namespace
}  // namespace orvane
