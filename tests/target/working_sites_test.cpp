#include "target/working_sites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "core/atom.h"

using namespace orvane;

namespace {

// n sites of silicon at random within 4 A of the origin, every third one
// at the position of the one before (ties for the nearest site).
List<Site> RandomSites(int n, std::mt19937_64& random) {
  std::uniform_real_distribution<double> coordinate(-4.0, 4.0);
  List<Site> sites;
  Vector last;
  for (int i = 0; i < n; ++i) {
    if (i % 3 != 2) last = Vector(coordinate(random), coordinate(random), coordinate(random));
    sites.Add(Site(1, 0, last, 1, 1.0));
  }
  return sites;
}

ThermalTable SiliconAt300K() {
  AtomList atoms;
  atoms.Add(Atom("Si", 28.086, 14, 519.0));
  ThermalTable thermal;
  ComputeAmplitudes(thermal, atoms, 300.0);
  return thermal;
}

}  // namespace

// Whatever the number of sites against the four that the loops take at a
// time: the nearest site is the first of those at the smallest distance, as
// a walk over the list finds it.
TEST(WorkingSites, TheNearestSiteIsTheFirstAtTheSmallestDistance) {
  std::mt19937_64 random(23);
  std::uniform_real_distribution<double> coordinate(-5.0, 5.0);
  for (int n = 0; n <= 9; ++n) {
    for (int trial = 0; trial < 50; ++trial) {
      List<Site> sites = RandomSites(n, random);
      WorkingSites working;
      working.Assign(sites);
      // Now and then the point on a site.
      const Vector point = n > 0 && trial % 5 == 0
                               ? working.Original(trial % n).R
                               : Vector(coordinate(random), coordinate(random), coordinate(random));
      int expected = -1;
      double best = 1e10;
      for (int i = 0; i < n; ++i) {
        const double distance = Distance(working.Original(i).R, point);
        if (distance < best) {
          best = distance;
          expected = i;
        }
      }
      ASSERT_EQ(working.Closest(point), expected) << n << " sites, trial " << trial;
    }
  }
}

// Distances are compared as they round: a site whose square lies an
// ulp above the least one but whose distance rounds to the same value comes
// first when it stands first, and nothing beyond 1e10 A is nearest.
TEST(WorkingSites, SitesAtTheSameRoundedDistanceGoByListOrder) {
  const double tiny = std::ldexp(1.0, -26);  // its square is 2^-52
  for (double scale : {1.0, 4.0, std::ldexp(1.0, -400)}) {
    List<Site> sites;
    sites.Add(Site(1, 0, Vector(2.0, 0.0, 0.0) * scale, 1, 1.0));
    sites.Add(Site(1, 0, Vector(1.0, tiny, 0.0) * scale, 1, 1.0));
    sites.Add(Site(1, 0, Vector(1.0, 0.0, 0.0) * scale, 1, 1.0));
    WorkingSites working;
    working.Assign(sites);
    const Vector origin;
    const double first = Distance(working.Original(1).R, origin);
    const double second = Distance(working.Original(2).R, origin);
    ASSERT_EQ(first, second) << scale;
    EXPECT_EQ(working.Closest(origin), 1) << scale;
  }
  List<Site> far;
  far.Add(Site(1, 0, Vector(2e10, 0.0, 0.0), 1, 1.0));
  WorkingSites working;
  working.Assign(far);
  EXPECT_EQ(working.Closest(Vector()), -1);
}

// The turned list: each site at its position turned as the rotation turns
// a lone vector, bit for bit, while its list node keeps the unrotated one;
// without a rotation at its position as it is.
TEST(WorkingSites, TurnedSitesLieWhereTheRotationTurnsEachPosition) {
  std::mt19937_64 random(5);
  std::ostringstream quiet;
  const Axes rotation =
      Axes::Build(Vector(1.0, 0.2, -0.3), Vector(0.1, 1.0, 0.4), 7.0, 22.0, false, quiet);
  for (int n = 1; n <= 9; ++n) {
    List<Site> sites = RandomSites(n, random);
    std::vector<Vector> unrotated;
    for (const Site& site : sites) unrotated.push_back(site.R);
    WorkingSites working;
    working.Assign(sites);
    working.Turn(&rotation);
    int i = 0;
    for (const Site& site : sites) {
      const Vector turned = rotation.Transform(unrotated[i]);
      ASSERT_EQ(working.Original(i).R.x, turned.x);
      ASSERT_EQ(working.Original(i).R.y, turned.y);
      ASSERT_EQ(working.Original(i).R.z, turned.z);
      ASSERT_TRUE(working.Position(i) == turned);
      ASSERT_TRUE(site.R == unrotated[i]);
      ++i;
    }
    // The turned positions are those that the nearest site is found from.
    EXPECT_EQ(working.Closest(rotation.Transform(unrotated[n - 1])), n % 3 == 0 ? n - 2 : n - 1);
    working.Turn(nullptr);
    for (int i = 0; i < n; ++i) ASSERT_TRUE(working.Original(i).R == unrotated[i]);
  }
}

// The sites that the reach test lets draw are, in list order, those whose
// lattice positions lie within the path's radius ahead of the least
// distance along it or within the nearby radius of the point; the others
// are far.
TEST(WorkingSites, TheSitesInReachAreThoseThatTheirLatticePositionsLet) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  const ThermalTable thermal = SiliconAt300K();
  const WorkingSites::Reach reach{2.0 * 2.0, -0.5, 1.5 * 1.5};
  int inReach = 0, far = 0;
  for (int n = 1; n <= 9; ++n) {
    for (int trial = 0; trial < 40; ++trial) {
      List<Site> sites = RandomSites(n, random);
      WorkingSites working;
      working.Assign(sites);
      const Vector from(uniform(random), uniform(random), uniform(random));
      const Vector direction =
          Normalized(Vector(uniform(random), uniform(random), uniform(random)));
      working.DrawAtomsInReach(from, direction, reach, trial, false, thermal);
      std::vector<int> expected;
      for (int i = 0; i < n; ++i) {
        const Vector d = working.Original(i).R - from;
        const double d2 = Dot(d, d), s = Dot(d, direction);
        const bool near =
            (d2 - s * s < reach.PathRadius2 && s > reach.MinimumAlong) || d2 <= reach.NearbyRadius2;
        if (near) expected.push_back(i);
        ASSERT_EQ(working.Far(i), !near);
      }
      inReach += static_cast<int>(expected.size());
      far += n - static_cast<int>(expected.size());
      ASSERT_EQ(std::vector<int>(working.Examined(), working.Examined() + working.ExaminedCount()),
                expected);
      working.DrawAtomsInReach(from, direction, reach, trial, true, thermal);
      ASSERT_EQ(working.ExaminedCount(), n);
      for (int i = 0; i < n; ++i) ASSERT_EQ(working.Examined()[i], i);
    }
  }
  EXPECT_GT(inReach, 200);
  EXPECT_GT(far, 200);
}
