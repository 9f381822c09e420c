// The rules of the implant loop on a run state set up as the program sets
// it up: rare-event splitting, the molecule's start, the level-1 recoil
// cut, the depth and iteration bounds and the stopping parameter of each
// layer.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "run/implant_loop.h"
#include "run_world.h"

namespace run_test {
namespace {

using namespace orvane;

double WeightSum(const List<Particle>& particles) {
  double sum = 0.0;
  for (const Particle& p : particles) sum += p.Weight;
  return sum;
}

// Three split depths (RareEvent 1) at 10, 20 and 30 A.
class RareEventSplit : public testing::Test {
 protected:
  void SetUp() override {
    Hist& hist = world.State().Tallies.HistogramOf(1);
    ASSERT_EQ(hist.n, 3);
    for (int i = 0; i < hist.n; ++i) hist.SplitDepth[i] = 10.0 * (i + 1);
  }
  RunState& State() { return world.State(); }

  RunWorld world{"RareEvent 1 ENERGY 5000 NumberOfImplants 10\n"};
};

TEST_F(RareEventSplit, APastSplitDepthLeavesTwoHalvesOfTheWeight) {
  Particle& work = world.PlaceProjectile(15.0, 3000.0);
  const double weight = work.Weight;
  ASSERT_GT(weight, 0.0);
  SplitRareEvents(State());
  ASSERT_EQ(State().Moving.NumberOfElements(), 2);
  for (const Particle& half : State().Moving) {
    EXPECT_EQ(half.Weight, weight / 2);
    EXPECT_EQ(half.o1, 1);
    EXPECT_EQ(half.Abs, work.Abs);
    EXPECT_EQ(half.Energy, 3000.0);
  }
  // One order per step: the half in hand splits at the next depth later.
  State().Work = State().Moving.First();
  State().Work.Abs = State().Work.R = 35.0 * State().Frame.X;
  SplitRareEvents(State());
  EXPECT_EQ(State().Moving.NumberOfElements(), 3);
  EXPECT_EQ(WeightSum(State().Moving), weight);
  EXPECT_EQ(State().Moving.Front().o1, 2);
}

TEST_F(RareEventSplit, NoSplitShallowerBeyondTheLastOrderOrForRecoils) {
  world.PlaceProjectile(5.0, 3000.0);
  SplitRareEvents(State());
  EXPECT_EQ(State().Moving.NumberOfElements(), 1);

  world.PlaceProjectile(1000.0, 3000.0).o1 = 3;
  SplitRareEvents(State());
  EXPECT_EQ(State().Moving.NumberOfElements(), 1);

  world.PlaceProjectile(15.0, 3000.0).Status = SECONDARY_PROJ;
  SplitRareEvents(State());
  EXPECT_EQ(State().Moving.NumberOfElements(), 1);
}

TEST_F(RareEventSplit, PathLengthDecidesWithREType1) {
  world.PlaceProjectile(5.0, 3000.0).PathLength = 15.0;
  SplitRareEvents(State());
  EXPECT_EQ(State().Moving.NumberOfElements(), 1);  // REType 0: the depth, 5 A
  State().Config.REType = 1;
  world.PlaceProjectile(5.0, 3000.0).PathLength = 15.0;
  SplitRareEvents(State());
  EXPECT_EQ(State().Moving.NumberOfElements(), 2);
}

TEST_F(RareEventSplit, SlowShallowProjectilesSplitByEnergyOrder) {
  // Below pE x ENERGY (2500 eV) and shallower than the histogram's range
  // times pX (0 + 100 x 0.5 A): one split per order, at most n orders.
  RunState& s = State();
  s.Config.pE = 0.5;
  s.Config.pX = 0.5;
  Hist& hist = s.Tallies.HistogramOf(1);
  hist.Shallowest = 0.0;
  hist.Deepest = 100.0;
  for (int i = 0; i < hist.n; ++i) hist.SplitDepth[i] = 1e9;
  const double weight = world.PlaceProjectile(20.0, 2000.0).Weight;
  SplitRareEvents(s);
  ASSERT_EQ(s.Moving.NumberOfElements(), 2);
  EXPECT_EQ(s.Moving.Front().o2, -1);
  EXPECT_EQ(WeightSum(s.Moving), weight);

  world.PlaceProjectile(20.0, 3000.0);  // too fast
  SplitRareEvents(s);
  EXPECT_EQ(s.Moving.NumberOfElements(), 1);
  world.PlaceProjectile(60.0, 2000.0);  // too deep
  SplitRareEvents(s);
  EXPECT_EQ(s.Moving.NumberOfElements(), 1);
  world.PlaceProjectile(20.0, 2000.0).o2 = -3;  // every order used
  SplitRareEvents(s);
  EXPECT_EQ(s.Moving.NumberOfElements(), 1);
}

TEST(RareEvents, TheVirtualIonsOfEveryIonWeighOneRealIon) {
  // Split depths every 20 A from the surface: a 5 keV boron ion splits
  // about six times on its way.
  RunWorld world("RareEvent 2 ENERGY 5000 Tha 7 Dose 1e14 NumberOfImplants 10\n");
  RunState& s = world.State();
  Hist& hist = s.Tallies.HistogramOf(1);
  for (int i = 0; i < hist.n; ++i) hist.SplitDepth[i] = 20.0 * (i + 1);
  int virtualIons = 0;
  world.Implant(10, [&](List<Particle>& finished) {
    EXPECT_NEAR(WeightSum(finished), s.IonWeight, 1e-12 * s.IonWeight);
    for (const Particle& p : finished) {
      const double halvings = std::log2(s.IonWeight / p.Weight);
      EXPECT_NEAR(halvings, std::round(halvings), 1e-9);
    }
    virtualIons += finished.NumberOfElements();
  });
  EXPECT_GT(virtualIons, 10 * 8);
}

TEST(MoleculeStart, EachAtomHasTheMoleculesSpeedAndTheLastSlotGoesFirst) {
  RunWorld world(
      "Atom B 5 10.811 519 Atom F 9 18.998 0 Atom Si 14 28.086 519\n"
      "XTal 3 6 0 0 0 15 XTal 3 6 0.25 0.25 0.25 15 NextLayer\n"
      "Projectiles 2 1 2 0 ENERGY 10000 NumberOfImplants 1\n");
  RunState& s = world.State();
  StartIon(s);
  ASSERT_EQ(s.Moving.NumberOfElements(), 3);
  std::vector<int> species;
  double energy = 0.0;
  for (const Particle& atom : s.Moving) {
    species.push_back(atom.Species);
    energy += atom.Energy;
    // E / m is the square of the speed (times one half): one speed for all.
    const Particle& first = s.Moving.Front();
    EXPECT_NEAR(atom.Energy / s.Atoms.GetAt(atom.Species).W,
                first.Energy / s.Atoms.GetAt(first.Species).W, 1e-12);
    EXPECT_EQ(atom.Status, PROJECTILE);
    EXPECT_EQ(atom.Weight, s.IonWeight);
  }
  EXPECT_EQ(species, (std::vector<int>{2, 1, 2}));
  EXPECT_NEAR(energy, 10000.0, 1e-9);
  EXPECT_NEAR(s.Moving.GetAt(2).Energy, 10000.0 * 10.811 / (10.811 + 2 * 18.998), 1e-9);
}

bool IsRecoilStatus(int status) {
  return status == INTERSTITIAL || status == SPUTTERED || status == OUTSIDE_ATOM ||
         status == NOT_FOLLOWED;
}

TEST(LevelOfSimulation, RecoilsAreFollowedFromLevelTwoOnly) {
  int recoils[2] = {0, 0};
  for (int level : {1, 2}) {
    RunWorld world("LevelOfSimulation " + std::to_string(level) +
                   " ENERGY 5000 Tha 7 NumberOfImplants 5\n");
    world.Implant(5, [&](List<Particle>& finished) {
      EXPECT_TRUE(world.State().Moving.Empty());
      for (const Particle& p : finished) recoils[level - 1] += IsRecoilStatus(p.Status);
    });
  }
  EXPECT_EQ(recoils[0], 0);
  EXPECT_GT(recoils[1], 5);
}

TEST(FollowingBounds, AnIonPastMaxDepthIsAbandonedThere) {
  RunWorld world("MaxDepth 20 ENERGY 5000 Tha 7 NumberOfImplants 10\n");
  int abandoned = 0;
  world.Implant(10, [&](List<Particle>& finished) {
    ASSERT_EQ(finished.NumberOfElements(), 1);
    const Particle& ion = finished.Front();
    const double depth = world.State().Frame.ComponentX(ion.Abs);
    if (ion.Status == ION_NOT_FOLLOWED) {
      ++abandoned;
      EXPECT_GT(depth, 20.0);
      EXPECT_LT(depth, 20.0 + 2 * world.State().Config.InteractionRadius);
    } else {
      EXPECT_LE(depth, 20.0);
    }
  });
  EXPECT_GE(abandoned, 8);  // 5 keV boron lies some 200 A deep
}

TEST(FollowingBounds, ParticlesFollowedTooLongAreAbandonedWithTheirStatus) {
  // Past 3 collisions the ion and the recoils are given up, with the status
  // of the particle that was in hand.
  RunWorld world("MaxIterationsPerImplant 3 LevelOfSimulation 2 ENERGY 5000 Tha 7\n");
  int ions = 0, recoils = 0;
  world.Implant(5, [&](List<Particle>& finished) {
    for (const Particle& p : finished) {
      EXPECT_LE(p.Collisions, 5) << StatusName(p.Status);
      ions += p.Status == ION_NOT_FOLLOWED;
      recoils += p.Status == NOT_FOLLOWED;
      if (p.Collisions > 4) {
        EXPECT_TRUE(p.Status == ION_NOT_FOLLOWED || p.Status == NOT_FOLLOWED);
      }
    }
  });
  EXPECT_GE(ions, 4);
  EXPECT_GE(recoils, 1);

  // No free flight allowed between collisions: the ion is given up at the
  // step after its first.
  RunWorld flights("ENERGY 5000 Tha 7\n");
  flights.State().Config.MaxFlights = 0;
  flights.Implant(3, [&](List<Particle>& finished) {
    ASSERT_EQ(finished.NumberOfElements(), 1);
    EXPECT_EQ(finished.Front().Status, ION_NOT_FOLLOWED);
  });
}

TEST(LayerStopping, EachLayerHasItsStoppingParameterAndLaterOnesTheFifth) {
  std::string layers;
  for (int i = 0; i < 6; ++i) {
    layers += "XMin " + std::to_string(10 * i) + " XMax " + std::to_string(10 * (i + 1)) +
              " NextLayer\n";
  }
  RunWorld world(layers + "RS0 1.1 1.2 1.3 1.4 1.5 0\n");
  RunState& s = world.State();
  const struct {
    double depth;
    int slot;
    double rs0;
  } cases[] = {{15, 1, 1.2}, {45, 4, 1.5}, {55, 4, 1.5}, {25, 2, 1.3}, {5, 0, 1.1}};
  for (const auto& c : cases) {
    SelectLayer(s, c.depth);
    EXPECT_EQ(s.CurrentLayerSlot, c.slot) << c.depth;
    EXPECT_EQ(s.NonLocalStopping.Layer(), c.slot) << c.depth;
    EXPECT_EQ(s.NonLocalStopping.RS0(), c.rs0) << c.depth;
    EXPECT_LT(s.CurrentLayer->XMin, c.depth);
    EXPECT_GT(s.CurrentLayer->XMax, c.depth);
  }
  // Above the surface the layer stays as it was.
  SelectLayer(s, -5.0);
  EXPECT_EQ(s.CurrentLayerSlot, 0);
}

}  // namespace
}  // namespace run_test

namespace run_test {
namespace {

// The distance from the point to the nearest site of the crystal.
double ToNearestSite(Crystal& crystal, const Vector& point) {
  return Distance(crystal.SetNearestTo(point).R, point);
}

}  // namespace

TEST(PlaceInLattice, AParticleFromAtomsAtRandomNeverStandsInsideAnAtom) {
  RunWorld world("ENERGY 5000 NumberOfImplants 10\n");
  RunState& state = world.State();
  Crystal& crystal = *state.CurrentCrystal;
  // On a site, and 0.3 A from the second atom of the basis.
  for (const Vector& onSite : {Vector(0, 0, 0), Vector(1.6578, 1.3578, -1.3578)}) {
    world.PlaceProjectile(50.0, 3000.0);
    Particle& particle = state.Moving.Front();
    particle.R = onSite;
    particle.Sampled = 1;
    particle.Ghi = 7.0;
    ASSERT_LT(ToNearestSite(crystal, particle.R), 0.5);
    PlaceInLattice(state);
    const Particle& placed = state.Moving.Front();
    EXPECT_GE(ToNearestSite(crystal, placed.R), 0.5);
    EXPECT_EQ(placed.Sampled, 0);
    EXPECT_EQ(placed.Ghi, state.Stack.GhiLimit);
  }
  // Clear of every atom, it keeps its place and draws nothing.
  world.PlaceProjectile(50.0, 3000.0);
  Particle& particle = state.Moving.Front();
  const Vector clear(1.3578, 0.0, 0.0);
  particle.R = clear;
  particle.Sampled = 1;
  ASSERT_GE(ToNearestSite(crystal, clear), 0.5);
  Ranmar before = state.Rng;
  PlaceInLattice(state);
  EXPECT_EQ(state.Moving.Front().R, clear);
  EXPECT_EQ(state.Rng.Uniform(), before.Uniform());
}

}  // namespace run_test
