// The free flight: the move by the flight length, the clock, the cell, the
// electronic loss, and the end of trajectories at the surface, at the back
// and at rest, with the wrong-status messages.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "engine/particle_motion.h"
#include "engine_world.h"

namespace engine_test {
namespace {

// A world whose lengths are exact binary fractions: interaction radius 2.5,
// shortest flight 0.5, a target from depth 0 to 100.
class FreeFlightTest : public testing::Test {
 protected:
  void SetUp() override {
    w.Engine.InteractionRadius = 2.5;
    w.Engine.GhiLimit = 0.5;
    // The stopping table is read (or made) before the messages are watched.
    testing::internal::CaptureStderr();
    w.Engine.FlightStopping(w.ElectronGas, At(50.0, UnitX), 0.5 * UnitX);
    testing::internal::GetCapturedStderr();
  }
  // Flies the particle once; returns what the engine wrote to standard error.
  std::string Fly(const Particle& p) {
    w.Moving.Clear();
    w.Finished.Clear();
    w.Moving.Add(p);
    testing::internal::CaptureStderr();
    w.Engine.IncrementPosition(w.Finished, w.Moving, kTop, kBottom, w.ElectronGas);
    return testing::internal::GetCapturedStderr();
  }
  // A particle that has collided, at the depth, flying along the direction.
  Particle At(double depth, const Vector& dir, int status = PROJECTILE) const {
    Particle p = w.Ion(kSilicon, 1000.0, Vector(depth, 0.25, 0), dir);
    p.Ghi = 0.5;
    p.ImpactParameter = 0.3;
    p.Status = status;
    return p;
  }
  const Particle& Ended() { return w.Finished.Front(); }

  static constexpr double kTop = 0.0;
  static constexpr double kBottom = 100.0;
  EngineWorld w;
};

TEST_F(FreeFlightTest, ParticleInsideFliesOnAndLosesEnergyToTheElectrons) {
  Particle p = At(50.0, UnitX);
  p.R = Vector(2.5, 0.25, 0);
  p.Ghi = 0.75;
  p.Flights = 2;
  p.PathLength = 4.0;
  p.Time = 2e-15;
  EXPECT_EQ(Fly(p), "");
  ASSERT_EQ(w.Moving.NumberOfElements(), 1);
  const Particle& q = w.Moving.Front();
  EXPECT_EQ(q.Abs, Vector(50.75, 0.25, 0));
  EXPECT_DOUBLE_EQ(q.R.x, 3.25 - 5.431);  // folded into the cell
  EXPECT_EQ(q.Flights, 3);
  EXPECT_EQ(q.PathLength, 4.75);
  EXPECT_EQ(q.Ghi, 0.75);  // a flight does not plan the next one
  EXPECT_DOUBLE_EQ(q.Time, 2e-15 + 0.75 / std::sqrt(1000.0 / 28.086) * 7.21958e-15);
  EXPECT_GT(q.Energy, 900.0);
  EXPECT_LT(q.Energy, 1000.0);
  Particle moved = p;
  moved.Abs = q.Abs;
  EXPECT_EQ(q.Energy, 1000.0 - w.Engine.FlightStopping(w.ElectronGas, moved, 0.75 * UnitX));
}

TEST_F(FreeFlightTest, FlightIsNeverShorterThanTheShortestFlight) {
  Particle p = At(50.0, UnitX);
  p.Ghi = 0.125;
  Fly(p);
  EXPECT_EQ(w.Moving.Front().Abs.x, 50.5);
  EXPECT_EQ(w.Moving.Front().PathLength, 0.5);
}

TEST_F(FreeFlightTest, FreshIonAboveTheSurfaceFliesOnUntilItCollides) {
  Particle fresh = At(-10.0, -UnitX);
  fresh.ImpactParameter = 0.0;
  Fly(fresh);
  ASSERT_EQ(w.Moving.NumberOfElements(), 1);
  EXPECT_EQ(w.Moving.Front().Abs.x, -10.5);
  EXPECT_TRUE(w.Finished.Empty());
}

TEST_F(FreeFlightTest, CollidedParticlesLeaveThroughTheSurfaceWithTheirEnergy) {
  // With top 0 the surface test is a depth below -InteractionRadius.
  Fly(At(-1.5, -UnitX));
  EXPECT_EQ(w.Moving.NumberOfElements(), 1);  // depth -2 is still inside
  Fly(At(-2.0, -UnitX));
  EXPECT_EQ(w.Moving.NumberOfElements(), 1);  // exactly -2.5 too
  Fly(At(-2.5, -UnitX));
  ASSERT_EQ(w.Finished.NumberOfElements(), 1);
  EXPECT_TRUE(w.Moving.Empty());
  EXPECT_EQ(Ended().Status, BACK_SCATTERED);
  EXPECT_EQ(Ended().Energy, 1000.0);
  EXPECT_EQ(Ended().Abs.x, -3.0);
  Fly(At(-2.5, -UnitX, SECONDARY_PROJ));
  EXPECT_EQ(Ended().Status, SPUTTERED);
}

TEST_F(FreeFlightTest, ParticlesLeaveThroughTheBackWithTheirEnergy) {
  Fly(At(102.0, UnitX));  // exactly at bottom + InteractionRadius: inside
  EXPECT_EQ(w.Moving.NumberOfElements(), 1);
  EXPECT_LT(w.Moving.Front().Energy, 1000.0);
  Fly(At(102.25, UnitX));
  ASSERT_EQ(w.Finished.NumberOfElements(), 1);
  EXPECT_EQ(Ended().Status, OUTSIDE_ION);
  EXPECT_EQ(Ended().Energy, 1000.0);
  Fly(At(102.25, UnitX, SECONDARY_PROJ));
  EXPECT_EQ(Ended().Status, OUTSIDE_ATOM);
  // A fresh ion that goes straight through leaves through the back too.
  Particle fresh = At(102.25, UnitX);
  fresh.ImpactParameter = 0.0;
  Fly(fresh);
  EXPECT_EQ(Ended().Status, OUTSIDE_ION);
}

TEST_F(FreeFlightTest, ParticleWhoseEnergyFallsToTheThresholdComesToRest) {
  const Particle p = At(50.0, UnitX);
  Particle moved = p;
  moved.Abs.x += 0.5;
  const double loss = w.Engine.FlightStopping(w.ElectronGas, moved, 0.5 * UnitX);
  ASSERT_GT(loss, 0.0);
  w.Engine.ThresholdEnergy = p.Energy - loss;
  Fly(p);
  ASSERT_EQ(w.Finished.NumberOfElements(), 1);
  EXPECT_EQ(Ended().Status, IMPLANTED_ION);
  EXPECT_EQ(Ended().Energy, w.Engine.ThresholdEnergy);
  Fly(At(50.0, UnitX, SECONDARY_PROJ));
  EXPECT_EQ(Ended().Status, INTERSTITIAL);
  w.Engine.ThresholdEnergy = std::nextafter(p.Energy - loss, 0.0);
  Fly(p);
  EXPECT_EQ(w.Moving.NumberOfElements(), 1);
}

TEST_F(FreeFlightTest, EnergyThatIsNotANumberStopsTheParticle) {
  Particle p = At(50.0, UnitX);
  p.Energy = std::numeric_limits<double>::quiet_NaN();
  Fly(p);
  ASSERT_EQ(w.Finished.NumberOfElements(), 1);
  EXPECT_EQ(Ended().Status, IMPLANTED_ION);
  EXPECT_EQ(Ended().Time, 0.0);
}

TEST_F(FreeFlightTest, EndsWithAnotherStatusAreReportedAndKept) {
  EXPECT_EQ(Fly(At(-2.5, -UnitX, LATTICE_ATOM)),
            "# Error: Target::IncrementPosition1, Wrong status LATTICE ATOM 0\n");
  EXPECT_EQ(Ended().Status, LATTICE_ATOM);
  EXPECT_EQ(Fly(At(102.25, UnitX, NOT_FOLLOWED)),
            "Error: Target::IncrementPosition2, Wrong status NOT FOLLOWED 10\n");
  EXPECT_EQ(Ended().Status, NOT_FOLLOWED);
  Particle resting = At(50.0, UnitX, IMPLANTED_ION);
  resting.Energy = 5.0;
  EXPECT_EQ(Fly(resting), "# Error: Target::IncrementPosition, Wrong status IMPLANTED ION 7\n");
  EXPECT_EQ(Ended().Status, IMPLANTED_ION);
  EXPECT_TRUE(w.Moving.Empty());
}

TEST(ParticleMotion, FoldingMovesByWholeCells) {
  const Vector cell(4, 6, 8);
  const Vector half(2, 3, 4);
  Vector r(1.5, -3.5, 7.0);
  FoldIntoCell(r, cell, half);
  EXPECT_EQ(r, Vector(1.5, 2.5, -1.0));
  // Beyond one cell length the count of half cells overshoots the cell.
  Vector far(0.0, 0.0, 9.0);
  FoldIntoCell(far, cell, half);
  EXPECT_EQ(far, Vector(0.0, 0.0, -7.0));
  Vector edge(2.0, -3.0, 0.0);
  FoldIntoCell(edge, cell, half);
  EXPECT_EQ(edge, Vector(-2.0, 3.0, 0.0));
}

TEST(ParticleMotion, FoldsFollowTheAxesOfATurnedLattice) {
  // A crystal turned by 90 degrees about z: its own x axis is the frame's y.
  Crystal crystal;
  crystal.Neighbors[0].Add(Site(1, 0, NullVector, 1, 1.0));
  crystal.Sites = crystal.Neighbors[0];
  Axes quarterTurn;
  quarterTurn.X = Vector(0, -1, 0);
  quarterTurn.Y = Vector(1, 0, 0);
  EngineWorld w;
  Target& engine = w.Engine;
  engine.SetCell(Vector(4, 6, 8), Vector(2, 3, 4));
  engine.Lattice = &crystal;

  // Unturned, the fold moves along the frame's axes.
  Vector r(0.0, 2.5, 0.0);
  engine.FoldIntoLattice(r);
  EXPECT_EQ(r, Vector(0.0, 2.5, 0.0));
  // Turned, 2.5 along the frame's y is 2.5 along the crystal's x, beyond its
  // half cell of 2: one cell of 4 back along the crystal's x, a lattice
  // translation of the turned crystal.
  crystal.Rotate(quarterTurn);
  engine.FoldIntoLattice(r);
  EXPECT_EQ(r, Vector(0.0, -1.5, 0.0));
  crystal.Unrotate();
  Vector s(0.0, 2.5, 0.0);
  engine.FoldIntoLattice(s);
  EXPECT_EQ(s, Vector(0.0, 2.5, 0.0));
}

TEST(ParticleMotion, FlightTimeFollowsTheSpeed) {
  // 1 A at 1 eV per amu takes 7.21958e-15 s; four times the energy, half.
  EXPECT_DOUBLE_EQ(FlightTime(1.0, 28.0, 28.0), 7.21958e-15);
  EXPECT_DOUBLE_EQ(FlightTime(1.0, 112.0, 28.0), 0.5 * 7.21958e-15);
  EXPECT_EQ(FlightTime(1.0, 0.0, 28.0), 0.0);
  EXPECT_EQ(FlightTime(1.0, -3.0, 28.0), 0.0);
}

}  // namespace
}  // namespace engine_test
