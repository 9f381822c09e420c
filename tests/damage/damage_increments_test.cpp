#include "damage/damage_increments.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "damage/damage_profile.h"

using namespace orvane;

namespace {

struct Deposit {
  double depth;
  double retained;
};

std::vector<Deposit> RandomDeposits(int n, double deepest) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> depth(0.0, deepest), retained(0.0, 3.0);
  std::vector<Deposit> deposits;
  for (int i = 0; i < n; ++i) deposits.push_back({depth(random), retained(random)});
  return deposits;
}

DamageIncrements Fresh() {
  DamageIncrements increments;
  increments.Reset(0.5f, 1.25);
  return increments;
}

void ExpectSame(const DamageIncrements& a, const DamageIncrements& b) {
  EXPECT_EQ(a.Level, b.Level);
  for (int c = 0; c < DamageIncrements::kCells; ++c) EXPECT_EQ(a.Counts[c], b.Counts[c]) << c;
}

}  // namespace

// Shared among any number of parts, in any order, and merged in any order,
// the deposits give the same sums to the last bit: the parallel run's
// damage then does not depend on its threads and processes.
TEST(DamageIncrements, AnySharingOfTheDepositsMergesToTheSameSums) {
  // Most within the 100 cells of 0.5 A, some up to four times deeper.
  const std::vector<Deposit> deposits = RandomDeposits(3000, 200.0);
  DamageIncrements whole = Fresh();
  for (const Deposit& d : deposits) whole.Add(d.depth, d.retained);
  EXPECT_EQ(whole.Level, 2);
  for (int parts : {2, 3, 7}) {
    std::vector<DamageIncrements> shares(parts, Fresh());
    // Shares of unequal reach: the first part sees only the shallow deposits.
    for (std::size_t i = 0; i < deposits.size(); ++i) {
      const int part = deposits[i].depth < 50.0 ? 0 : static_cast<int>(i % parts);
      shares[part].Add(deposits[i].depth, deposits[i].retained);
    }
    DamageIncrements forward = shares.front(), backward = shares.back();
    for (int p = 1; p < parts; ++p) forward.Merge(shares[p]);
    for (int p = parts - 2; p >= 0; --p) backward.Merge(shares[p]);
    ExpectSame(forward, whole);
    ExpectSame(backward, whole);
  }
  double total = 0.0, summed = 0.0;
  for (const Deposit& d : deposits) total += d.retained;
  for (int64_t count : whole.Counts) summed += static_cast<double>(count) * whole.Unit;
  EXPECT_NEAR(summed, total, 1e-9 * total);
  EXPECT_DOUBLE_EQ(whole.CellWidth(), 2.0);
}

TEST(DamageIncrements, TakesTheProfilesCellsAndBoundsWhatACellCanHold) {
  DamageIncrements cells = Fresh();
  // The cell that the profile finds in single precision, at its edges too.
  cells.Add(0.5, 1.0);
  cells.Add(0.49999, 1.0);
  EXPECT_GT(cells.Counts[1], 0);
  EXPECT_EQ(cells.Counts[0], cells.Counts[1]);
  // Nothing is taken away, nothing counted for a deposit that retains none.
  cells.Add(3.0, -1.0);
  cells.Add(3.0, 0.0);
  EXPECT_EQ(cells.Counts[6], 0);
  // A sum stops at its bound however much more comes.
  cells.Add(10.0, 1e300);
  cells.Add(10.0, 1.0);
  EXPECT_EQ(cells.Counts[20], DamageIncrements::kFull);
  // A cell with no damage to hold still counts in some quantum.
  DamageIncrements none;
  none.Reset(0.5f, 0.0);
  EXPECT_GT(none.Unit, 0.0);
}

// The run adds a batch's damage to the cells it was summed on as the
// deposits would have added it, widens the cells first when the batch went
// beyond them, and holds every cell to the amorphization density.
TEST(DamageIncrements, TheProfileTakesInABatchWholeAndHoldsItsCells) {
  DamageProfile profile;
  profile.CteD = 1.0;
  profile.StartSimulation(DamageSettings(), ".");
  const double volume = profile.ImplantationArea * profile.Damage.Width;
  DamageIncrements batch = profile.FreshIncrements();
  batch.Add(0.25, 0.02);  // cell 2 of 0.1 A
  batch.Add(5.05, 1e3);   // far more than the cell holds
  profile.AddIncrements(batch, profile.Damage.Stop);
  EXPECT_NEAR(profile.Damage.Cells[2], 0.02 / volume, 1e-6 * 0.02 / volume);
  EXPECT_EQ(profile.Damage.Cells[50], static_cast<float>(profile.AmorphizationDensity));

  // A batch whose ions reached 40 A: the cells are widened to 0.4 A and
  // the damage spread by length, the defects per area kept.
  DamageIncrements deep = profile.FreshIncrements();
  deep.Add(12.3, 0.1);
  deep.Add(39.9, 0.15);
  EXPECT_EQ(deep.Level, 2);
  const double before = profile.ArealDensity();
  profile.AddIncrements(deep, 40.0f);
  EXPECT_FLOAT_EQ(profile.Damage.Stop, 40.0f);
  const double added = (0.1 + 0.15) / profile.ImplantationArea;
  EXPECT_NEAR(profile.ArealDensity(), before + added, 1e-5 * (before + added));
  EXPECT_GT(profile.Damage.Cells[99], 0.0f);
  EXPECT_EQ(profile.Damage.Cells[50], 0.0f);
}
