#include "tally/finished_particles.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace orvane;

namespace {

Particle Finished(int species, int status, const Vector& abs, double weight, double path,
                  double time, int collisions) {
  Particle p;
  p.Species = species;
  p.Status = status;
  p.Abs = abs;
  p.Weight = weight;
  p.PathLength = path;
  p.Time = time;
  p.Collisions = collisions;
  return p;
}

}  // namespace

TEST(TrackedSpecies, LeadingSlotsUpToTheTenthElementHaveTheirTallies) {
  const int32_t slots[10] = {3, 10, 0, 5};
  const TrackedSpecies tracked(slots);
  ASSERT_EQ(tracked.Count(), 2);
  EXPECT_EQ(*tracked.begin(), 3);
  SpeciesTallies tallies;
  tallies.HistogramOf(10).Add(1.0, 1.0, 1.0, IMPLANTED_ION, 1);
  tallies.Tally3DOf(10).Add(UnitX, 1.0, 1.0);
  tallies.StartSimulation(tracked, 3, 900.0, 1e14);
  EXPECT_EQ(tallies.HistogramOf(10).VirtualIons(), 0);
  EXPECT_TRUE(tallies.Tally3DOf(10).Entries.Empty());
  EXPECT_EQ(tallies.HistogramOf(3).n, 9);
  EXPECT_DEATH(tallies.HistogramOf(11), "Species>=0 && Species<=10");
  const int32_t bad[10] = {11};
  EXPECT_DEATH(TrackedSpecies{bad}, "Species>=1 && Species<=10");
}

// BF2: one boron and two fluorine atoms per molecule; fluorine is tallied
// once, at twice the molecules' dose.
TEST(TrackedSpecies, ASpeciesOfSeveralSlotsIsTrackedOnceWithItsAtoms) {
  const int32_t slots[10] = {1, 2, 2, 0, 1};
  const TrackedSpecies tracked(slots);
  ASSERT_EQ(tracked.Count(), 2);
  EXPECT_EQ(tracked.begin()[0], 1);
  EXPECT_EQ(tracked.begin()[1], 2);
  EXPECT_EQ(tracked.AtomsPerImplant(1), 1);
  EXPECT_EQ(tracked.AtomsPerImplant(2), 2);
  EXPECT_EQ(tracked.AtomsPerImplant(3), 0);
  SpeciesTallies tallies;
  tallies.StartSimulation(tracked, 0, 900.0, 1e13);
  EXPECT_EQ(tallies.HistogramOf(1).Dose, 1e13);
  EXPECT_EQ(tallies.HistogramOf(2).Dose, 2e13);
}

TEST(FinishedParticles, IonsAreTalliedWithTheirConsoleLines) {
  List<Particle> finished;
  finished.Add(Finished(2, NOT_FOLLOWED, Vector(1, 1, 1), 0.5, 5.0, 2e-13, 1));  // a recoil
  finished.Add(Finished(1, IMPLANTED_ION, Vector(3, 100, 4), 0.5, 150.0, 1e-13, 7));
  finished.Add(Finished(1, BACK_SCATTERED, Vector(0, -10, 0), 0.5, 40.0, 3e-13, 2));
  Axes frame;  // depth along the crystal's y axis
  frame.X = Vector(0, 1, 0);
  frame.Y = Vector(1, 0, 0);
  SpeciesTallies tallies;
  uint32_t collisions = 1;
  long double distance = 10.0L;
  double path = 0.0;
  std::ostringstream out;
  out << std::fixed;
  FinishedIon ion;
  ion.Ended.push_back(EndedIon{});  // what an earlier ion left goes
  ReduceFinished(finished, ion);
  ASSERT_EQ(ion.Ended.size(), 2u);  // the recoil is only counted, with its path and time
  const int walked = TallyFinishedParticles(ion, 12, 1, frame, tallies,
                                            TallyTotals{collisions, distance, path}, out);
  EXPECT_EQ(walked, 3);
  EXPECT_EQ(
      out.str(),
      "     12        10.0000   0.5000000000        15.0000            2e-13 \n"
      "     12        -1.0000   0.5000000000         4.0000            3e-13 BACK SCATTERED\n");
  EXPECT_EQ(collisions, 10u);
  EXPECT_EQ(distance, 200.0L);
  EXPECT_EQ(path, 195.0);
  const Hist& h = tallies.HistogramOf(1);
  ASSERT_EQ(h.VirtualIons(), 2);
  const HistEntry implanted = h.Entries.At(0);
  EXPECT_EQ(implanted.Depth, 100.0);
  EXPECT_EQ(implanted.E, 150.0);  // the path length for a rare-event type other than 0
  EXPECT_EQ(tallies.Tally3DOf(1).Entries.At(0).Position, Vector(100, 3, 4));
  EXPECT_EQ(tallies.HistogramOf(2).VirtualIons(), 0);
}
