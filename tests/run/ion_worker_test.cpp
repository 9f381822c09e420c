#include "run/ion_worker.h"

#include <gtest/gtest.h>

#include "run/shared_tables.h"
#include "run_world.h"
#include "support/allocation_counter.h"

using namespace orvane;
using run_test::RunWorld;

namespace {

// An amorphous layer over a crystal, damage retained, recoils followed:
// every state that an ion could leave to the next.
const char* kTwoLayersWithDamage =
    "Atom B 5 11.009 519 Atom Si 14 28.086 519\n"
    "Amorphous 2 XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 XMin 0 XMax 40 NextLayer\n"
    "Amorphous 0 XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 XMin 40 XMax 1e7 NextLayer\n"
    "AmorphizationDensity 4.99e21 CteD 1 LevelOfSimulation 2\n"
    "ENERGY 2000 Tha 7 Dose 1e15 NumberOfImplants 10\n";

struct Worker {
  explicit Worker(RunState& run) {
    worker.StartSimulation(run, 1);
    worker.StartBatch(run, 0);
  }
  IonWorker worker;
};

void ExpectSameParticle(const EndedIon& a, const EndedIon& b) {
  EXPECT_EQ(a.Abs, b.Abs);
  EXPECT_EQ(a.Time, b.Time);
  EXPECT_EQ(a.Status, b.Status);
  EXPECT_EQ(a.Weight, b.Weight);
  EXPECT_EQ(a.PathLength, b.PathLength);
}

void ExpectSameSums(const DepositSums& a, const DepositSums& b) {
  EXPECT_EQ(a.Displacements, b.Displacements);
  EXPECT_EQ(a.Retained, b.Retained);
  EXPECT_EQ(a.Stop, b.Stop);
  EXPECT_EQ(a.Count, b.Count);
}

}  // namespace

TEST(IonWorker, AnIonLeavesTheSameRecordsWhateverTheWorkerFollowedBefore) {
  RunWorld world(kTwoLayersWithDamage);
  RunState& run = world.State();
  LoadSharedTables(run);
  Worker busy(run), fresh(run);
  for (uint32_t ion = 1; ion <= 6; ++ion) busy.worker.Implant(ion);
  fresh.worker.Implant(6);

  const BatchResults& b = busy.worker.Results(0);
  const BatchResults& f = fresh.worker.Results(0);
  ASSERT_EQ(b.Ions.size(), 6u);
  ASSERT_EQ(f.Ions.size(), 1u);
  const IonOrder order({&b}, 1, 6);
  const IonRecords last = order.Of(6);
  const IonSummary& expected = f.Ions[0];
  EXPECT_EQ(last.Summary->Particles, expected.Particles);
  EXPECT_EQ(last.Summary->Walked, expected.Walked);
  EXPECT_GT(expected.Walked, expected.Particles);  // recoils are followed
  EXPECT_EQ(last.Summary->PathSum, expected.PathSum);
  ExpectSameSums(last.Summary->Sums, expected.Sums);
  EXPECT_GT(expected.Sums.Count, 0u);
  EXPECT_EQ(last.Summary->Rotations, expected.Rotations);
  EXPECT_EQ(last.Summary->Partners, expected.Partners);
  for (uint32_t p = 0; p < expected.Particles; ++p)
    ExpectSameParticle(last.Finished[p], f.Finished[p]);
}

TEST(IonWorker, SitesOutOfReachOfThePathChangeNoRecord) {
  RunWorld world(kTwoLayersWithDamage);
  RunState& run = world.State();
  LoadSharedTables(run);
  Worker some(run), every(run);
  every.worker.DrawEverySite(true);
  for (uint32_t ion = 1; ion <= 6; ++ion) {
    some.worker.Implant(ion);
    every.worker.Implant(ion);
  }
  const BatchResults& a = some.worker.Results(0);
  const BatchResults& b = every.worker.Results(0);
  ASSERT_EQ(a.Finished.size(), b.Finished.size());
  for (std::size_t p = 0; p < a.Finished.size(); ++p) ExpectSameParticle(a.Finished[p], b.Finished[p]);
  for (std::size_t i = 0; i < a.Ions.size(); ++i) {
    ExpectSameSums(a.Ions[i].Sums, b.Ions[i].Sums);
    EXPECT_EQ(a.Ions[i].Partners, b.Ions[i].Partners);
    EXPECT_EQ(a.Ions[i].PartnerSum, b.Ions[i].PartnerSum);
  }
  for (int cell = 0; cell < DamageIncrements::kCells; ++cell) {
    EXPECT_EQ(a.Retained.Counts[cell], b.Retained.Counts[cell]);
  }
}

// Damage that survives is summed per cell for the run to add once the
// batch is done: what the ions' sums say they retained, on the cells the
// batch started from.
TEST(IonWorker, SumsTheDamageRetainedPerCell) {
  RunWorld world(kTwoLayersWithDamage);
  RunState& run = world.State();
  LoadSharedTables(run);
  ASSERT_TRUE(run.Damage.RetainsDamage(run.Engine.Temperature));
  Worker worker(run);
  for (uint32_t ion = 1; ion <= 3; ++ion) worker.worker.Implant(ion);
  const BatchResults& results = worker.worker.Results(0);
  double retained = 0.0;
  for (const IonSummary& summary : results.Ions) retained += summary.Sums.Retained;
  const DamageIncrements& cells = results.Retained;
  EXPECT_EQ(cells.BaseWidth, run.Damage.Damage.Width);
  double summed = 0.0;
  for (int64_t count : cells.Counts) summed += static_cast<double>(count) * cells.Unit;
  EXPECT_GT(retained, 0.0);
  EXPECT_NEAR(summed, retained, 1e-9 * retained + 1e3 * cells.Unit);
}

TEST(IonWorker, LeavesTheRunAsItWas) {
  RunWorld world(kTwoLayersWithDamage);
  RunState& run = world.State();
  LoadSharedTables(run);
  const VarHist damage = run.Damage.Damage;
  Worker worker(run);
  for (uint32_t ion = 1; ion <= 3; ++ion) worker.worker.Implant(ion);
  // The damage waits in the results; the crystals keep their densities.
  EXPECT_EQ(run.Damage.Count, 0);
  for (int cell = 0; cell < VarHist::kCells; ++cell) {
    EXPECT_EQ(run.Damage.Damage.Cells[cell], damage.Cells[cell]);
  }
  for (const Crystal& crystal : run.Stack.Crystals) EXPECT_FALSE(crystal.Density3D.Empty());
  EXPECT_TRUE(run.Finished.Empty());
}

// The default damage constants retain (next to) nothing: the deposits
// couple no ions, and an ion keeps only their sums, which the run takes in
// as the deposits would have been.
TEST(IonWorker, KeepsOnlyTheSumsOfDepositsThatLeaveNoDamage) {
  RunWorld world(
      "Atom B 5 11.009 519 Atom Si 14 28.086 519\n"
      "Amorphous 2 XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 NextLayer\n"
      "LevelOfSimulation 2 ENERGY 2000 Tha 7 Dose 1e13 NumberOfImplants 10\n");
  RunState& run = world.State();
  LoadSharedTables(run);
  ASSERT_FALSE(run.Damage.RetainsDamage(run.Engine.Temperature));
  Worker worker(run);
  worker.worker.Implant(1);
  const BatchResults& results = worker.worker.Results(0);
  const IonSummary& summary = results.Ions[0];
  for (int64_t count : results.Retained.Counts) EXPECT_EQ(count, 0);
  EXPECT_GT(summary.Sums.Count, 0u);
  EXPECT_GT(summary.Sums.Displacements, 0.0);
  EXPECT_GT(summary.Sums.Stop, run.Damage.Damage.Stop);  // the ion went beyond the cells
  const double displacements = run.Damage.Displacements;
  run.Damage.AddSums(summary.Sums);
  EXPECT_EQ(run.Damage.Displacements, displacements + summary.Sums.Displacements);
  EXPECT_EQ(run.Damage.Damage.Stop, summary.Sums.Stop);
  EXPECT_EQ(run.Damage.Count, static_cast<int64_t>(summary.Sums.Count));
}

TEST(IonWorker, FollowsIonsWithoutAllocatingOnceWarmedUp) {
  RunWorld world(kTwoLayersWithDamage);
  RunState& run = world.State();
  LoadSharedTables(run);
  Worker worker(run);
  for (uint32_t ion = 1; ion <= 4; ++ion) worker.worker.Implant(ion);
  worker.worker.StartBatch(run, 0);
  const long before = orvane_test::Allocations();
  for (uint32_t ion = 1; ion <= 4; ++ion) worker.worker.Implant(ion);
  EXPECT_EQ(orvane_test::Allocations(), before);
}
