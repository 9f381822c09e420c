#include "target/crystal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "core/libc_random.h"
#include "support/allocation_counter.h"
#include "support/displace_one_site.h"
#include "target/lattice_type.h"
#include "target_test_support.h"

using namespace orvane;
using orvane_test::BasisSite;
using orvane_test::BuildCrystal;
using orvane_test::Diamond;
using orvane_test::ReadFile;
using orvane_test::ScopedDensityDir;
using orvane_test::TempDir;

namespace {

// A crystal whose working list holds the given sites of species 1: an
// interaction radius of 2 A, GhiLimit 0.1 A, SimultaneousDistance 0.5 A.
Crystal WithSites(const std::vector<Vector>& positions, double simultaneous = 0.5) {
  Crystal crystal(1.5, 2.0, NullVector, 0.1, simultaneous);
  for (const Vector& r : positions) crystal.Sites.Add(Site(1, 0, r, 1, 1.0));
  return crystal;
}

// A particle at the origin of the lattice frame, 100 A deep, moving along x.
Particle Mover() {
  Particle particle;
  particle.Abs = Vector(100.0, 0.0, 0.0);
  particle.Dir = UnitX;
  particle.Ghi = 0.1;
  return particle;
}

struct Search {
  int found = 0;
  double closest = -1.0;
  Particle particle = Mover();
  List<Particle> candidates;
  List<Vector> nearby;
};

Search FindIn(Crystal& crystal, double lower = 0.0, double upper = 1e9) {
  Search search;
  Ranmar rng;
  const ThermalTable still;  // every amplitude 0: no displacement
  const Axes frame;
  search.found = crystal.FindPartners(search.particle, search.candidates, search.closest, rng,
                                      ThermalSigns(), lower, upper, still, frame, search.nearby);
  return search;
}

std::vector<Vector> Positions(const List<Particle>& list) {
  std::vector<Vector> positions;
  for (const Particle& p : list) positions.push_back(p.R);
  return positions;
}

}  // namespace

TEST(CrystalBlock, DiamondSiliconHasTheKnownCellFigures) {
  Crystal crystal(1.5, 2.7155, NullVector, 0.1, 0.5);
  EXPECT_EQ(crystal.LatticeParameter, Vector(5.431, 5.431, 5.431));
  crystal.MakeIt1(NullVector, FACE_CENTERED, 1, 1, 1.0);
  EXPECT_EQ(crystal.MakeIt1(Vector(0.25, 0.25, 0.25), FACE_CENTERED, 1, 1, 1.0), 1728);
  EXPECT_EQ(crystal.Nx, 3);
  EXPECT_EQ(crystal.SetCell(5.431, 5.431, 5.431, 90, 90, 90), 1728);
  EXPECT_NEAR(crystal.CellVolume, 5.431 * 5.431 * 5.431, 1e-9);
  EXPECT_NEAR(crystal.CellVolume, 160.19, 0.005);
  EXPECT_NEAR(crystal.Density, 4.994e22, 0.001e22);
  EXPECT_NEAR(std::sqrt(crystal.MeanRadius2), 1.684, 0.001);
  // The sphere of the mean radius holds the volume of one atom.
  EXPECT_NEAR(4.0 / 3.0 * M_PI * std::pow(crystal.MeanRadius2, 1.5), crystal.CellVolume / 8, 1e-9);
  EXPECT_EQ(crystal.BasisCounter, -1);
}

TEST(CrystalBlock, BasisPositionsFoldIntoTheCellAroundTheOrigin) {
  Crystal crystal(0.5, 2.0, NullVector, 0.1, 0.5);  // N = 2: cells -2..1
  crystal.MakeIt1(Vector(0.75, 0.5, 0.25), PRIMITIVE, 3, 4, 0.75);
  ASSERT_EQ(crystal.Sites.NumberOfElements(), 64);
  const Site& first = crystal.Sites.Front();
  // Fractions (-0.25, -0.5, 0.25) in the cell (-2, -2, -2); z stored negated.
  EXPECT_EQ(first.R, Vector(-2.25, -2.5, 1.75));
  EXPECT_EQ(first.Species, 3);
  EXPECT_EQ(first.SpeciesA, 3);
  EXPECT_EQ(first.SpeciesB, 4);
  EXPECT_EQ(first.Fraction, 0.75);
  EXPECT_EQ(first.BasisIndex, 0);
  // k (the x cell) runs fastest, i (the z cell) slowest.
  EXPECT_EQ(crystal.Sites.GetAt(2).R, Vector(-1.25, -2.5, 1.75));
  EXPECT_EQ(crystal.Sites.GetAt(5).R, Vector(-2.25, -1.5, 1.75));
  EXPECT_EQ(crystal.Sites.GetAt(17).R, Vector(-2.25, -2.5, 0.75));
}

TEST(CrystalBlock, EachLatticeTypeAddsItsCentringTranslationsInOrder) {
  const Vector expected[6][4] = {
      {NullVector},
      {NullVector, Vector(0.5, 0.5, -0.5)},
      {NullVector, Vector(0.5, 0.5, 0.0)},
      {NullVector, Vector(0.0, 0.5, -0.5)},
      {NullVector, Vector(0.5, 0.0, -0.5)},
      {NullVector, Vector(0.5, 0.5, 0.0), Vector(0.0, 0.5, -0.5), Vector(0.5, 0.0, -0.5)},
  };
  const int perCell[6] = {1, 2, 2, 2, 2, 4};
  for (int type = PRIMITIVE; type <= FACE_CENTERED; ++type) {
    Crystal crystal(0.5, 2.0, NullVector, 0.1, 0.5);
    EXPECT_EQ(crystal.MakeIt1(NullVector, type, 1, 1, 1.0), 64 * perCell[type - 1]);
    const Vector origin = crystal.Sites.Front().R;
    for (int t = 0; t < perCell[type - 1]; ++t) {
      EXPECT_EQ(crystal.Sites.GetAt(t + 1).R - origin, expected[type - 1][t]) << "type " << type;
    }
    crystal.SetCell(4.0, 4.0, 4.0, 90, 90, 90);
    EXPECT_NEAR(crystal.Density, perCell[type - 1] / 64.0 * 1e24, 1e9) << "type " << type;
  }
  EXPECT_STREQ(LatticeTypeName(A_END_CENTERED), "A END CENTERED");
  EXPECT_STREQ(LatticeTypeName(FACE_CENTERED), "FACE CENTERED");
}

TEST(CrystalBlock, TheLimitsOfACrystalAreGuarded) {
  Crystal crystal(0.5, 2.0, NullVector, 0.1, 0.5);
  EXPECT_DEATH(crystal.MakeIt1(NullVector, 7, 1, 1, 1.0), "Type>=PRIMITIVE && Type<=FACE_CENTERED");
  EXPECT_DEATH(crystal.MakeIt1(NullVector, 0, 1, 1, 1.0), "crystal, line 51");
  crystal.MakeIt1(NullVector, PRIMITIVE, 1, 1, 1.0);
  EXPECT_DEATH(crystal.SetCell(4.0, 0.0, 4.0, 90, 90, 90), "a>0 && b>0 && c>0");
  EXPECT_DEATH(crystal.SetCell(4.0, 4.0, 4.0, 90, -90, 90), "Alpha>0 && Beta>0 && Gamma>0");
}

TEST(CrystalBlock, AThirtyFirstBasisAtomEndsTheRun) {
  Crystal crystal(0.0, 2.0, NullVector, 0.1, 0.5);  // N = 1: 8 sites per atom
  for (int b = 0; b < 30; ++b) crystal.MakeIt1(Vector(0.01 * b, 0, 0), PRIMITIVE, 1, 1, 1.0);
  EXPECT_EQ(crystal.Sites.Back().BasisIndex, 29);
  EXPECT_EXIT(crystal.MakeIt1(NullVector, PRIMITIVE, 1, 1, 1.0),
              testing::ExitedWithCode(401 & 0xFF),
              "# Error: Crystal::MakeIt1, Maximum number of lattice sites reached 30 30\n");
  crystal.SetCell(4.0, 4.0, 4.0, 90, 90, 90);
  for (int b = 0; b < 30; ++b) crystal.MakeNeighbors(Vector(0.01 * b, 0, 0));
  EXPECT_EXIT(crystal.MakeNeighbors(NullVector), testing::ExitedWithCode(401 & 0xFF),
              "# Error: Crystal::MakeNeighbors, Maximum number of lattice sites reached\n");
}

TEST(CrystalCell, RoundingResiduesOfTheCellAreZero) {
  Crystal crystal(0.0, 2.0, NullVector, 0.1, 0.5);
  crystal.MakeIt1(NullVector, PRIMITIVE, 1, 1, 1.0);
  crystal.SetCell(5.431, 5.431, 5.431, 90, 90, 90);
  // The site of the cell (0, 0, 0)... and (-1, -1, -1) in fractions: the
  // cos 90 parts of the cell vectors are exactly 0.
  for (const Site& site : crystal.Sites) {
    for (double c : {site.R.x, site.R.y, site.R.z})
      EXPECT_TRUE(c == 0.0 || c == 5.431 || c == -5.431);
  }
}

TEST(CrystalCell, ObliqueCellsUseTheirCellVectors) {
  Crystal crystal(0.0, 2.0, NullVector, 0.1, 0.5);
  crystal.MakeIt1(NullVector, PRIMITIVE, 1, 1, 1.0);
  crystal.SetCell(3.0, 3.0, 5.0, 90, 90, 120);
  EXPECT_NEAR(crystal.CellVolume, 9.0 * 5.0 * std::sqrt(3.0) / 2.0, 1e-12);
  // The site of the fractions (0, -1, 0): minus the second cell vector.
  bool found = false;
  for (const Site& site : crystal.Sites) {
    if (std::fabs(site.R.x - 1.5) < 1e-12 && std::fabs(site.R.y + 1.5 * std::sqrt(3.0)) < 1e-12 &&
        site.R.z == 0.0) {
      found = true;
    }
  }
  EXPECT_TRUE(found);
}

TEST(CrystalNeighbours, SortedByDistanceWithTheBondsOfDiamond) {
  Crystal crystal = Diamond();
  const List<Site>& around = crystal.Neighbors[1];
  ASSERT_GT(around.NumberOfElements(), 17);
  double previous = -1.0;
  int first = 0, second = 0;
  const double radius = 5.431 * std::sqrt(3.0) / 2.0 + 2.7155;
  for (const Site& site : around) {
    const double r = site.R.Length();
    EXPECT_GE(r, previous);
    EXPECT_LT(r, radius);
    previous = r;
    if (std::fabs(r - 5.431 * std::sqrt(3.0) / 4.0) < 1e-9) ++first;
    if (std::fabs(r - 5.431 / std::sqrt(2.0)) < 1e-9) ++second;
  }
  // The atom itself, four bonds of a sqrt(3)/4 and twelve second neighbours.
  EXPECT_EQ(around.begin()->R, NullVector);
  EXPECT_EQ(first, 4);
  EXPECT_EQ(second, 12);
  EXPECT_EQ(crystal.Neighbors[0].NumberOfElements(), crystal.Neighbors[1].NumberOfElements());
  EXPECT_TRUE(crystal.Neighbors[2].Empty());
}

TEST(CrystalNeighbours, ResetMakesTheFirstNeighbourhoodTheWorkingList) {
  Crystal crystal = Diamond();
  ASSERT_EQ(crystal.Sites.NumberOfElements(), crystal.Neighbors[0].NumberOfElements());
  auto site = crystal.Sites.begin();
  for (const Site& n : crystal.Neighbors[0]) {
    EXPECT_EQ(site->R, n.R);
    ++site;
  }
  EXPECT_EQ(crystal.Reset(1.5, 3.0, NullVector, 0.2, 0.7), 1);
  EXPECT_EQ(crystal.LatticeParameter, Vector(5.431, 5.431, 5.431));
  EXPECT_EQ(crystal.SearchRadius2, 9.0);
  EXPECT_EQ(crystal.KeepRadius2, 9.0);
  EXPECT_EQ(crystal.GhiLimit, 0.2);
  EXPECT_EQ(crystal.SimultaneousDistance, 0.7);
}

// The working list turns, and a copy of the turned crystal is turned
// alike; the list of sites keeps the unrotated positions.
TEST(CrystalRotation, RotatesTheWorkingListAndRestoresIt) {
  Crystal crystal = Diamond();
  Axes quarterTurn;  // 90 degrees about z
  quarterTurn.X = Vector(0, -1, 0);
  quarterTurn.Y = Vector(1, 0, 0);
  const int count = crystal.Sites.NumberOfElements();
  EXPECT_EQ(crystal.Rotate(quarterTurn), count);
  Crystal copy(crystal);
  auto site = crystal.Sites.begin();
  for (const Site& n : crystal.Neighbors[0]) {
    const Vector turned(-n.R.y, n.R.x, n.R.z);
    EXPECT_EQ(crystal.SetNearestTo(turned).R, turned);
    EXPECT_EQ(copy.SetNearestTo(turned).R, turned);
    EXPECT_EQ(site->R, n.R);
    ++site;
  }
  EXPECT_EQ(crystal.Unrotate(), count);
  for (const Site& n : crystal.Neighbors[0]) EXPECT_EQ(crystal.SetNearestTo(n.R).R, n.R);
  Crystal empty;
  EXPECT_EQ(empty.Rotate(quarterTurn), 0);
}

TEST(CrystalRotation, NearestBecomesTheSiteClosestToAPoint) {
  Crystal crystal = Diamond();
  const Site& nearest = crystal.SetNearestTo(Vector(1.2, 1.5, -1.3));
  EXPECT_NEAR(nearest.R.x, 1.35775, 1e-12);
  EXPECT_NEAR(nearest.R.z, -1.35775, 1e-12);
  EXPECT_EQ(crystal.Nearest.R, nearest.R);
}

namespace {

// Diamond silicon turned by the first random rotation of the generator.
Crystal TurnedDiamond() {
  Crystal crystal = Diamond();
  Ranmar rng;
  crystal.Rotate(rng.RandomRotation());
  return crystal;
}

}  // namespace

TEST(CrystalRotation, TheAtomJustStruckKeepsItsPlaceInTheNewOrientation) {
  Crystal crystal = TurnedDiamond();
  // The particle 1.1 A beside the atom it struck, 6 um deep; a farther atom
  // struck in the same step.
  Particle particle = Mover();
  particle.Abs = Vector(60000.123456789, -3.7, 12.9);
  particle.R = Vector(2.5, -2.0, 1.0);
  List<Vector> struck;
  struck.Add(particle.Abs + Vector(0.4, 2.2, 0.0));
  struck.Add(particle.Abs + Vector(0.3, -1.0, 0.4));
  crystal.PlaceAfterRotation(particle, struck);

  // That atom is now the site at the lattice origin: the same absolute
  // position within rounding, so the next step cannot meet it again.
  const Vector toAbsolute = particle.Abs - particle.R;
  const Site& origin = crystal.Sites.Front();
  EXPECT_EQ(origin.R, NullVector);
  EXPECT_LT(Distance(toAbsolute + origin.R, struck.Back()), 1e-9);
  EXPECT_NEAR(Distance(particle.R, origin.R), std::sqrt(0.3 * 0.3 + 1.0 + 0.4 * 0.4), 1e-9);
  EXPECT_EQ(crystal.Nearest.R, origin.R);
  // Its neighbours lie around it at the bond length in the new orientation.
  int bonds = 0;
  for (const Site& site : crystal.Sites) bonds += std::fabs(site.R.Length() - 2.3517) < 1e-3;
  EXPECT_EQ(bonds, 4);
}

TEST(CrystalRotation, WithoutAnAtomStruckNearbyTheParticleKeepsItsPlace) {
  Crystal crystal = TurnedDiamond();
  Particle particle = Mover();
  particle.R = Vector(1.0, -2.0, 0.5);
  List<Vector> struck;
  crystal.PlaceAfterRotation(particle, struck);
  EXPECT_EQ(particle.R, Vector(1.0, -2.0, 0.5));
  // Beyond half the cell diagonal the working list would not reach far
  // enough ahead of the particle: such an atom is no anchor.
  struck.Add(particle.Abs + Vector(4.75, 0.0, 0.0));
  crystal.PlaceAfterRotation(particle, struck);
  EXPECT_EQ(particle.R, Vector(1.0, -2.0, 0.5));
}

TEST(CrystalPartners, TheNearestAheadAndTheSimultaneousOnesAreKept) {
  Crystal crystal =
      WithSites({Vector(3.0, 0.5, 0.0), Vector(1.0, 1.0, 0.0), Vector(1.0, -1.0, 0.0),
                 Vector(1.1, 0.0, 1.0), Vector(-1.0, 0.0, 0.0), Vector(1.2, 3.0, 0.0)});
  const Search search = FindIn(crystal);
  EXPECT_EQ(search.found, 3);
  EXPECT_EQ(
      Positions(search.candidates),
      (std::vector<Vector>{Vector(1.0, 1.0, 0.0), Vector(1.0, -1.0, 0.0), Vector(1.1, 0.0, 1.0)}));
  EXPECT_NEAR(search.closest, 1.0, 1e-12);
  EXPECT_EQ(crystal.Nearest.R, Vector(1.0, 1.0, 0.0));
  EXPECT_EQ(search.candidates.begin()->Org, Vector(1.0, 1.0, 0.0));
  EXPECT_EQ(search.particle.Ghi, 0.1);
}

TEST(CrystalPartners, APartnerFurtherAheadNeedsTheWindowAndTheSphere) {
  // 0.1 A behind the nearest: outside a window of 0.05 A.
  Crystal narrow = WithSites({Vector(1.0, 1.0, 0.0), Vector(1.1, 0.0, 1.0)}, 0.05);
  EXPECT_EQ(FindIn(narrow).found, 1);
  // Inside the window but beyond the sphere around the nearest one:
  // p^2 = 3.9948 > 4 - 0.1^2.
  Crystal wide = WithSites({Vector(1.0, 1.0, 0.0), Vector(1.1, 0.0, 1.9987)});
  EXPECT_EQ(FindIn(wide).found, 1);
  // ... or the nearest one itself too far out for the sphere to reach.
  Crystal grazing = WithSites({Vector(1.0, 1.9987, 0.0), Vector(1.1, 0.0, 0.5)});
  const Search search = FindIn(grazing);
  EXPECT_EQ(search.found, 1);
  EXPECT_NEAR(search.closest, 1.9987 * 1.9987, 1e-12);
}

TEST(CrystalPartners, WithoutPartnersTheFlightEndsAtTheNearestMiss) {
  Crystal crystal = WithSites({Vector(2.0, 2.5, 0.0), Vector(3.0, 0.0, 2.2), Vector(-1.0, 0.0, 0.0),
                               Vector(0.05, 0.0, 0.0)});
  const Search search = FindIn(crystal);
  EXPECT_EQ(search.found, 0);
  EXPECT_EQ(search.particle.Ghi, 3.0);
  EXPECT_NEAR(search.closest, 2.2 * 2.2, 1e-12);
  EXPECT_EQ(crystal.Nearest.R, Vector(3.0, 0.0, 2.2));
  EXPECT_TRUE(search.candidates.Empty());
}

TEST(CrystalPartners, NothingAheadGivesTheShortestFlight) {
  Crystal crystal = WithSites({Vector(-1.0, 0.5, 0.0), Vector(-3.0, 0.0, 0.0)});
  const Search search = FindIn(crystal);
  EXPECT_EQ(search.found, 0);
  EXPECT_EQ(search.particle.Ghi, 0.1);
  EXPECT_EQ(search.closest, 4096.0);
  EXPECT_EQ(crystal.Nearest.Species, 0);
}

TEST(CrystalPartners, SitesOutsideTheDepthBoundsAreNeitherPartnersNorMisses) {
  Crystal crystal = WithSites({Vector(1.0, 0.5, 0.0)});
  const Search search = FindIn(crystal, 0.0, 100.5);
  EXPECT_EQ(search.found, 0);
  EXPECT_EQ(search.closest, 4096.0);
  EXPECT_EQ(search.particle.Ghi, 0.1);
  EXPECT_EQ(FindIn(crystal, 0.0, 101.0).found, 1);
}

TEST(CrystalPartners, SitesWithin3AngstromGoToTheNearbyListInAbsolutePositions) {
  Crystal crystal = WithSites({Vector(1.0, 1.0, 0.0), Vector(2.5, 1.6, 0.0), Vector(3.0, 0.5, 0.0),
                               Vector(-1.0, 0.0, 0.0)});
  const Search search = FindIn(crystal);
  std::vector<Vector> nearby;
  for (const Vector& v : search.nearby) nearby.push_back(v);
  EXPECT_EQ(nearby, (std::vector<Vector>{Vector(101.0, 1.0, 0.0), Vector(102.5, 1.6, 0.0),
                                         Vector(99.0, 0.0, 0.0)}));
}

TEST(CrystalPartners, AFlightShorterThanGhiLimitIsAnInternalError) {
  Crystal crystal = WithSites({Vector(1.0, 0.0, 0.0)});
  Search search;
  search.particle.Ghi = 0.05;
  Ranmar rng;
  const ThermalTable still;
  EXPECT_DEATH(crystal.FindPartners(search.particle, search.candidates, search.closest, rng,
                                    ThermalSigns(), 0.0,
                                    1e9, still, Axes(), search.nearby),
               "OldGhi>=GhiLimit");
}

TEST(CrystalPartners, DrawsTheSpeciesThenTheDisplacementOfEverySiteInListOrder) {
  AtomList atoms;
  atoms.Add(Atom("Si", 28.086, 14, 519.0));
  atoms.Add(Atom("Ge", 72.63, 32, 374.0));
  ThermalTable thermal;
  ComputeAmplitudes(thermal, atoms, 300.0);
  Crystal crystal(1.5, 2.0, NullVector, 0.1, 0.5);
  const Vector places[] = {Vector(1.0, 0.3, 0.0), Vector(-1.0, 0.0, 0.0), Vector(1.05, -0.4, 0.2),
                           Vector(2.5, 2.5, 0.0), Vector(4.0, 0.0, 0.1)};
  for (const Vector& r : places) crystal.Sites.Add(Site(1, 0, r, 2, 0.5));

  // What the search must see: per site one uniform number for the species,
  // then the three displacement draws.
  Ranmar reference;
  reference.Seed(17, 29);
  ThermalSigns() = LibcRandom();  // the sign stream from its start
  std::vector<Site> seen;
  for (const Vector& r : places) {
    Site site(1, 0, r, 2, 0.5);
    site.Species = 0.5 > reference.Uniform() ? 1 : 2;
    orvane_test::DisplaceOneSite(thermal, site, site.Species, reference, ThermalSigns());
    seen.push_back(site);
  }
  const int nextSign = ThermalSigns().Next();

  Ranmar rng;
  rng.Seed(17, 29);
  ThermalSigns() = LibcRandom();  // the sign stream from its start
  Particle particle = Mover();
  List<Particle> candidates;
  List<Vector> nearby;
  double closest = 0.0;
  const int found =
      crystal.FindPartners(particle, candidates, closest, rng, ThermalSigns(), 0.0, 1e9,
                           thermal, Axes(), nearby);
  EXPECT_EQ(rng.Uniform(), reference.Uniform());
  EXPECT_EQ(ThermalSigns().Next(), nextSign);
  ASSERT_GE(found, 1);
  for (const Particle& candidate : candidates) {
    bool matched = false;
    for (std::size_t s = 0; s < seen.size(); ++s) {
      if (candidate.Org != places[s]) continue;
      matched = true;
      EXPECT_EQ(candidate.R, seen[s].R);
      EXPECT_EQ(candidate.Species, seen[s].Species);
      EXPECT_NE(candidate.R, places[s]);
    }
    EXPECT_TRUE(matched);
  }
  std::vector<Vector> expectedNearby;
  for (const Site& site : seen) {
    if (site.R.Length() <= 3.0) expectedNearby.push_back(site.R + Vector(100.0, 0.0, 0.0));
  }
  std::vector<Vector> actualNearby;
  for (const Vector& v : nearby) actualNearby.push_back(v);
  EXPECT_EQ(actualNearby, expectedNearby);
}

TEST(CrystalPartners, NoAllocationOnceWarmedUp) {
  Crystal crystal = Diamond();
  ThermalTable thermal;
  AtomList atoms;
  atoms.Add(Atom("Si", 28.086, 14, 519.0));
  ComputeAmplitudes(thermal, atoms, 300.0);
  Ranmar rng;
  List<Particle> candidates;
  List<Vector> nearby;
  double closest = 0.0;
  const Axes frame;
  Particle particle = Mover();
  particle.R = Vector(0.4, 0.2, -0.3);
  particle.Dir = Normalized(Vector(1.0, 0.3, 0.2));
  for (int round = 0; round < 3; ++round) {
    particle.Ghi = 0.1;
    crystal.FindPartners(particle, candidates, closest, rng, ThermalSigns(), 0.0, 1e9, thermal,
                         frame, nearby);
    candidates.Clear();
  }
  const long before = orvane_test::Allocations();
  for (int round = 0; round < 50; ++round) {
    particle.Ghi = 0.1;
    crystal.FindPartners(particle, candidates, closest, rng, ThermalSigns(), 0.0, 1e9, thermal,
                         frame, nearby);
    candidates.Clear();
  }
  EXPECT_EQ(orvane_test::Allocations(), before);
}

TEST(CrystalXYZ, TheSitesAreWrittenInTheImplantFrame) {
  TempDir dir;
  Crystal crystal(0.0, 2.0, NullVector, 0.1, 0.5);
  crystal.MakeIt1(Vector(0.25, 0.0, 0.5), PRIMITIVE, 2, 2, 1.0);
  crystal.SetCell(4.0, 4.0, 4.0, 90, 90, 90);
  AtomList atoms;
  atoms.Add(Atom("B", 11.0, 5, 519.0));
  atoms.Add(Atom("Si", 28.086, 14, 519.0));
  std::ostringstream unused;
  const Axes frame = Axes::Build(UnitX, Vector(0, 1, 0), 0.0, 0.0, false, unused);
  crystal.ShowToXMol(dir.File("Layer_01.xyz"), atoms, frame);
  const std::string text = ReadFile(dir.File("Layer_01.xyz"));
  // First site: fractions (0.25 - 1, -1, -0.5 - 1), z stored negated.
  EXPECT_EQ(text.substr(0, text.find('\n', 3) + 1), "8\n\nSi -3 -4 -6\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
  EXPECT_EXIT(crystal.ShowToXMol(dir.File("no/such.xyz"), atoms, frame),
              testing::ExitedWithCode(300 & 0xFF),
              "# Error: Crystal::ShowToXMol, Can not open the file .*no/such.xyz\n");
}

TEST(CrystalDensity, CreatesTheCellDensityAndSavesItInTheDensityDirectory) {
  TempDir dir;
  ScopedDensityDir scope(dir.Path());
  const BasisSite basis[] = {{NullVector, PRIMITIVE, 1, 1, 1.0}};
  Crystal crystal = BuildCrystal(basis, Vector(3.0, 3.0, 3.0), Vector(90, 90, 90), 0.5, 0.5);
  ASSERT_EQ(crystal.Sites.NumberOfElements(), 7);
  IsolatedDensities densities;
  {
    ScopedDensityDir shipped(orvane_test::ShippedDensityDir());
    testing::internal::CaptureStderr();
    densities[1].ReadTable("N06.den", 1);
    testing::internal::GetCapturedStderr();
  }
  testing::internal::CaptureStderr();
  crystal.CreateIADS("EDT_C", densities);
  const std::string printed = testing::internal::GetCapturedStderr();
  // Standard error is no terminal here: no count of the planes left.
  EXPECT_EQ(printed.rfind("# ", 0), 0u) << printed;
  EXPECT_EQ(printed.find('\b'), std::string::npos);
  EXPECT_NE(
      printed.find(" seconds\n# Binary 3D density table written (" + dir.Path() + "/EDT_C.lit)\n"),
      std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("EDT_C.lit")).size(), 301u + 8u * 112 * 112 * 112);
  EXPECT_EQ(crystal.Density3D.Points(2), 112);
  EDT back;
  testing::internal::CaptureStderr();
  ASSERT_EQ(back.ReadTable3D("EDT_C", 1), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(back.At(3, 50, 111), crystal.Density3D.At(3, 50, 111));
  // Periodic look-up that never returns 0.
  EXPECT_NEAR(back.Density(0.7, -1.2, 0.4), back.Density(0.7 + 3.0, -1.2, 0.4 - 3.0), 1e-12);
  EXPECT_GT(back.Density(1.5, 1.5, 1.5), 0.0);
}
