#include "damage/damage_increments.h"

#include <algorithm>
#include <cmath>

#include "core/fatal.h"
#include "damage/varhst.h"

namespace orvane {

namespace {

constexpr double kCountsPerContent = 70368744177664.0;  // 2^46

// Counts only grow, and stop at kFull: then any order of additions ends
// in the same sum.
int64_t Sum(int64_t a, int64_t b) {
  return a > DamageIncrements::kFull - b ? DamageIncrements::kFull : a + b;
}

}  // namespace

void DamageIncrements::Reset(float baseWidth, double amorphousContent) {
  BaseWidth = baseWidth;
  Unit = amorphousContent / kCountsPerContent;
  // Without a positive content (no cell can take damage) any quantum will do.
  if (!(Unit > 0.0 && std::isfinite(Unit))) Unit = 1.0 / kCountsPerContent;
  Level = 0;
  std::fill(Counts, Counts + kCells, 0);
}

void DamageIncrements::Add(double depth, double retained) {
  // A deposit never takes damage away.
  if (!(retained > 0.0)) return;
  // Depths of more cells than have numbers share the last level's last cell.
  const float cells = static_cast<float>(depth) / BaseWidth;
  const int64_t base =
      static_cast<int64_t>(cells < VarHist::kFarthestCell ? cells : VarHist::kFarthestCell);
  while ((base >> Level) >= kCells) Coarsen();
  const double counts = retained / Unit;
  const int64_t count =
      counts < static_cast<double>(kFull) ? static_cast<int64_t>(std::llround(counts)) : kFull;
  int64_t& cell = Counts[base >> Level];
  cell = Sum(cell, count);
}

void DamageIncrements::Merge(const DamageIncrements& other) {
  Require(other.BaseWidth == BaseWidth && other.Unit == Unit, "increments on the same cells",
          "damage_increments", __LINE__);
  while (Level < other.Level) Coarsen();
  const int shift = Level - other.Level;
  for (int c = 0; c < kCells; ++c) {
    int64_t& cell = Counts[c >> shift];
    cell = Sum(cell, other.Counts[c]);
  }
}

double DamageIncrements::CellWidth() const { return std::ldexp(double{BaseWidth}, Level); }

void DamageIncrements::Coarsen() {
  for (int c = 0; c < kCells; ++c) {
    const int64_t count = Counts[c];
    Counts[c] = 0;
    int64_t& wide = Counts[c / 2];
    wide = Sum(wide, count);
  }
  ++Level;
}

}  // namespace orvane
