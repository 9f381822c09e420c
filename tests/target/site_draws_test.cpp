#include "target/site_draws.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/split_mix.h"
#include "target/crystal.h"
#include "target_test_support.h"

using namespace orvane;
using orvane_test::BasisSite;
using orvane_test::BuildCrystal;

namespace {

ThermalTable SiliconGermaniumAt(double temperature) {
  AtomList atoms;
  atoms.Add(Atom("Si", 28.086, 14, 519.0));
  atoms.Add(Atom("Ge", 72.63, 32, 374.0));
  ThermalTable thermal;
  ComputeAmplitudes(thermal, atoms, temperature);
  return thermal;
}

// Diamond with both basis atoms holding silicon or germanium at random.
Crystal MixedDiamond(double cellRange, double interactionRadius) {
  const BasisSite basis[] = {{NullVector, 6, 1, 2, 0.7}, {Vector(0.25, 0.25, 0.25), 6, 1, 2, 0.7}};
  return BuildCrystal(basis, Vector(5.431, 5.431, 5.431), Vector(90.0, 90.0, 90.0), cellRange,
                      interactionRadius);
}

struct Outcome {
  int found = 0;
  double closest = 0.0;
  double ghi = 0.0;
  std::vector<Vector> candidates, origins, nearby;
  std::vector<int> species;
};

Outcome Search(Crystal& crystal, const Particle& start, uint64_t ion, bool everySite,
               const ThermalTable& thermal) {
  SiteDraws draws;
  draws.Ion = ion;
  draws.Reach = LargestThermalShift(thermal);
  draws.EverySite = everySite;
  Particle particle = start;
  List<Particle> candidates;
  List<Vector> nearby;
  Outcome outcome;
  outcome.found = crystal.FindPartners(particle, candidates, outcome.closest, draws, -1e9, 1e9,
                                       thermal, Axes(), nearby);
  outcome.ghi = particle.Ghi;
  for (const Particle& c : candidates) {
    outcome.candidates.push_back(c.R);
    outcome.origins.push_back(c.Org);
    outcome.species.push_back(c.Species);
  }
  for (const Vector& v : nearby) outcome.nearby.push_back(v);
  return outcome;
}

}  // namespace

TEST(SiteDraws, ADisplacementWordPicksEachDeviateAndSignEvenly) {
  const ThermalTable thermal = SiliconGermaniumAt(300.0);
  const double a = thermal.Amplitude(1);
  const double bound = LargestThermalShift(thermal);
  EXPECT_GT(bound, 0.3);
  EXPECT_LT(bound, 0.6);
  // The mean of |g| over the table's 2048 deviates, and the share of
  // negative shifts, within five standard errors of 600 000 axes.
  double tableMean = 0.0, tableMean2 = 0.0;
  for (int i = 0; i < ThermalTable::kQuantiles; ++i) {
    tableMean += thermal.Values[i] / ThermalTable::kQuantiles;
    tableMean2 += thermal.Values[i] * thermal.Values[i] / ThermalTable::kQuantiles;
  }
  const int words = 200000;
  double sum = 0.0;
  int negative = 0;
  for (int k = 0; k < words; ++k) {
    const Vector shift = KeyedThermalShift(thermal, a, SplitMixWord(99, k));
    EXPECT_LE(shift.Length(), bound);
    for (double c : {shift.x, shift.y, shift.z}) {
      sum += std::fabs(c) / a;
      negative += std::signbit(c) ? 1 : 0;
    }
  }
  const double n = 3.0 * words;
  EXPECT_NEAR(sum / n, tableMean, 5.0 * std::sqrt((tableMean2 - tableMean * tableMean) / n));
  EXPECT_NEAR(negative / n, 0.5, 5.0 * std::sqrt(0.25 / n));
}

TEST(SiteDraws, SitesOutOfReachCannotChangeTheSearch) {
  // Every site drawn and used displaced, or only those in reach: the same
  // partners, flight, closest approach and nearby atoms, over lattices of
  // both interaction radii in use, at room temperature and far above it
  // (larger displacements), from random points in random directions.
  SplitMix random(7);
  const auto uniform = [&random] { return UniformOf(random.Next()); };
  for (double radius : {0.864, 2.7155}) {
    Crystal crystal = MixedDiamond(radius > 1.0 ? 1.5 : 0.5, radius);
    for (double temperature : {300.0, 1500.0}) {
      const ThermalTable thermal = SiliconGermaniumAt(temperature);
      int withPartners = 0;
      for (int k = 0; k < 1500; ++k) {
        Particle particle;
        particle.R = Vector(uniform() - 0.5, uniform() - 0.5, uniform() - 0.5) * 5.431;
        particle.Abs = particle.R + Vector(50.0, 0.0, 0.0);
        particle.Dir = Normalized(Vector(uniform() - 0.5, uniform() - 0.5, uniform() - 0.5));
        particle.Ghi = 0.1 + 2.0 * uniform();
        const uint64_t ion = random.Next();
        const Outcome some = Search(crystal, particle, ion, false, thermal);
        const Outcome every = Search(crystal, particle, ion, true, thermal);
        ASSERT_EQ(some.found, every.found);
        EXPECT_EQ(some.closest, every.closest);
        EXPECT_EQ(some.ghi, every.ghi);
        EXPECT_EQ(some.candidates, every.candidates);
        EXPECT_EQ(some.origins, every.origins);
        EXPECT_EQ(some.species, every.species);
        EXPECT_EQ(some.nearby, every.nearby);
        withPartners += some.found > 0;
      }
      EXPECT_GT(withPartners, 300);
    }
  }
}

TEST(SiteDraws, AMixedSiteHoldsItsFirstSpeciesAtItsFraction) {
  const ThermalTable thermal = SiliconGermaniumAt(300.0);
  Crystal crystal(1.5, 2.0, NullVector, 0.1, 0.5);
  crystal.Sites.Add(Site(1, 0, Vector(1.0, 0.0, 0.0), 2, 0.3));
  crystal.Sites.Add(Site(1, 0, Vector(1.0, 1.5, 0.0), 1, 1.0));  // never germanium
  Particle particle;
  particle.Dir = UnitX;
  particle.Ghi = 0.1;
  const int searches = 20000;
  int first = 0, pure = 0;
  for (int k = 0; k < searches; ++k) {
    const Outcome outcome = Search(crystal, particle, Mix(k), false, thermal);
    for (std::size_t c = 0; c < outcome.species.size(); ++c) {
      if (outcome.origins[c].y == 0.0) first += outcome.species[c] == 1;
      if (outcome.origins[c].y != 0.0) pure += outcome.species[c] != 1;
    }
  }
  EXPECT_NEAR(first / double(searches), 0.3, 5.0 * std::sqrt(0.21 / searches));
  EXPECT_EQ(pure, 0);
}
