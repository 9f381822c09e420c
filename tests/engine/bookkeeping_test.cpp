// Cascades through a real silicon crystal with the real collision tables,
// electronic losses and electron density: every collision step conserves
// the energy that the projectile brought, no free flight creates energy,
// and every trajectory ends with one of the final statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "support/allocation_counter.h"
#include "core/libc_random.h"
#include "core/ranmar.h"
#include "core/thermal.h"
#include "engine_world.h"
#include "target/edt1d.h"
#include "target/target_stack.h"

namespace engine_test {
namespace {

// The default target (diamond silicon, 0 to 1e9 A), built once.
TargetStack& SiliconStack(const AtomList& atoms) {
  static std::unique_ptr<TargetStack> stack;
  if (stack == nullptr) {
    static IsolatedDensities densities;
    stack = std::make_unique<TargetStack>();
    LayerList layers;
    AtomList elements = atoms;
    testing::internal::CaptureStderr();
    MakeLayers(*stack, layers, elements, Axes(), densities, 1, 0);
    testing::internal::GetCapturedStderr();
  }
  return *stack;
}

bool IsFinalStatus(int status) {
  switch (status) {
    case INTERSTITIAL:
    case SPUTTERED:
    case BACK_SCATTERED:
    case IMPLANTED_ION:
    case OUTSIDE_ION:
    case OUTSIDE_ATOM: return true;
    default: return false;
  }
}

class SiliconCascades : public testing::Test {
 protected:
  void SetUp() override {
    crystal_ = SiliconStack(w.Atoms).Crystals.First();
    ComputeAmplitudes(thermal_, w.Atoms, 300.0);
    w.Damage.CutOffEnergy = 1e30;  // every deposit counts as given
    rng_.Seed(1802, 9373);
    // Collision tables that an earlier test made are read, not made again.
    testing::internal::CaptureStdout();
    w.Geometry.Tables.LoadAll(w.Atoms, w.Potentials);
    testing::internal::GetCapturedStdout();
  }

  // The energy deposited in the damage profile so far.
  double Deposited() const {
    return w.Damage.Displacements * 2.0 * w.Damage.DisplacementEnergy /
           w.Damage.KinchinPeaseConstant;
  }

  // An ion of random species, energy (30 eV to 30 keV) and direction, at a
  // random point of a cell 20 cells deep.
  Particle RandomIon() {
    const int species = 1 + static_cast<int>(rng_.Uniform() * 3);
    const double energy = 30.0 * std::pow(1000.0, rng_.Uniform());
    const Axes rotation = rng_.RandomRotation();
    Particle ion = w.Ion(species, energy, NullVector, rotation.X);
    const Vector& a = crystal_.LatticeParameter;
    ion.R = Vector((rng_.Uniform() - 0.5) * a.x, (rng_.Uniform() - 0.5) * a.y,
                   (rng_.Uniform() - 0.5) * a.z);
    ion.Abs = ion.R + Vector(20 * a.x, 0, 0);
    return ion;
  }

  // The particle that was first in moving before the engine's step.
  const Particle& Moved(int finishedBefore) {
    return w.Finished.NumberOfElements() > finishedBefore ? w.Finished.Back() : w.Moving.Front();
  }

  // One collision step or free flight of the first moving particle, as the
  // implant loop makes it, with the checks of the energy bookkeeping.
  void Step() {
    Particle& first = w.Moving.Front();
    const Particle before = first;
    const int finishedBefore = w.Finished.NumberOfElements();
    const int movingBefore = w.Moving.NumberOfElements();
    double closest = 1e10;
    const int found = crystal_.FindPartners(first, w.Engine.Candidates, closest, rng_,
                                            ThermalSigns(), 0.0, 1e9,
                                            thermal_, w.Frame, w.NearbySites);
    w.Damage.Displacements = 0.0;  // as the tally step starts every ion afresh
    int partners = -1;
    if (found > 0 && w.Engine.Candidates.Front().Species != 0) {
      partners =
          w.Engine.CollisionStep(w.Finished, w.Moving, w.Geometry, crystal_.Density3D, w.Silicon);
    }
    if (partners == -1) {
      w.Engine.IncrementPosition(w.Finished, w.Moving, 0.0, 1e9, crystal_.Density3D);
      EXPECT_LE(Moved(finishedBefore).Energy, before.Energy);
      EXPECT_EQ(w.Moving.NumberOfElements() + w.Finished.NumberOfElements(),
                movingBefore + finishedBefore);
      ++flights_;
    } else {
      CheckBalance(before, Moved(finishedBefore), Deposited(), movingBefore, finishedBefore);
    }
    w.Engine.Candidates.Clear();
  }

  void CheckBalance(const Particle& before, const Particle& after, double partners,
                    int movingBefore, int finishedBefore) {
    ++steps_;
    // Deposits at negative depths are not kept by the damage profile.
    if (w.Frame.ComponentX(before.Abs) < 0.0) return;
    const double balance = after.Energy + partners + w.Engine.StepElectronicLoss;
    worst_ = std::max(worst_, std::fabs(balance - before.Energy) / before.Energy);
    EXPECT_NEAR(balance, before.Energy, 1e-9 * before.Energy);
    EXPECT_GE(after.Energy, 0.0);
    EXPECT_GE(w.Engine.StepElectronicLoss, 0.0);
    EXPECT_EQ(after.Collisions, before.Collisions + 1);
    // The recoils are the new elements at the end of moving; each carries
    // its transfer less its displacement energy.
    const bool stopped = w.Finished.NumberOfElements() > finishedBefore;
    const int recoils = w.Moving.NumberOfElements() - movingBefore + (stopped ? 1 : 0);
    double released = 0.0;
    int position = 0;
    for (const Particle& p : w.Moving) {
      if (++position > w.Moving.NumberOfElements() - recoils) {
        EXPECT_EQ(p.Status, SECONDARY_PROJ);
        EXPECT_GT(p.Energy, w.Engine.ThresholdEnergy);
        released += p.Energy + 15.0;
      }
    }
    EXPECT_LE(released, partners * (1 + 1e-12));
    ++checked_;
  }

  // Follows the cascade of one ion until nothing moves; particles that fly
  // on for more than 50 flights are abandoned, as the implant loop does.
  void Cascade() {
    w.Moving.Clear();
    w.Finished.Clear();
    w.Moving.Add(RandomIon());
    while (!w.Moving.Empty()) {
      Step();
      if (!w.Moving.Empty() && w.Moving.Front().Flights > 50) {
        w.Finished.Add(w.Moving.Front());
        w.Finished.Back().Status = NOT_FOLLOWED;
        w.Moving.RemoveAt(1);
      }
    }
    for (const Particle& p : w.Finished) {
      if (p.Status != NOT_FOLLOWED) {
        EXPECT_TRUE(IsFinalStatus(p.Status)) << StatusName(p.Status);
      }
    }
  }

  EngineWorld w;
  Crystal crystal_;
  ThermalTable thermal_;
  Ranmar rng_;
  int steps_ = 0;
  int checked_ = 0;
  int flights_ = 0;
  double worst_ = 0.0;
};

TEST_F(SiliconCascades, EveryStepConservesTheEnergyBrought) {
  for (int ion = 0; ion < 40; ++ion) Cascade();
  EXPECT_GT(steps_, 1000);
  EXPECT_GT(checked_, steps_ * 9 / 10);
  EXPECT_GT(flights_, 300);
  EXPECT_GT(w.Engine.Counters.NSimTotal, static_cast<long double>(steps_));
  std::ostringstream worst;
  worst << worst_;
  RecordProperty("CollisionSteps", steps_);
  RecordProperty("WorstRelativeImbalance", worst.str());
}

TEST_F(SiliconCascades, AfterWarmUpStepsAllocateNothing) {
  // The first pass makes the tables and fills the lists' node pools; the
  // second repeats the same cascades, which then need no new node.
  long allocations = 0;
  for (int pass = 0; pass < 2; ++pass) {
    rng_.Seed(1802, 9373);
    ThermalSigns() = LibcRandom();  // the signs of the thermal displacements
    w.Engine.Struck.Clear();
    w.Damage.Count = 1;  // no periodic save of the profile in what follows
    const int stepsBefore = steps_;
    const int flightsBefore = flights_;
    for (int ion = 0; ion < 10; ++ion) {
      w.Moving.Clear();
      w.Finished.Clear();
      w.Moving.Add(RandomIon());
      const long before = orvane_test::Allocations();
      while (!w.Moving.Empty() && w.Moving.Front().Flights <= 50) Step();
      if (pass == 1) allocations += orvane_test::Allocations() - before;
    }
    EXPECT_GT(steps_ - stepsBefore, 100);
    EXPECT_GT(flights_ - flightsBefore, 30);
  }
  EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace engine_test
