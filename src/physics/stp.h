// The non-local electronic stopping served from tables: the selected
// stopping and ionization models, the reference radius RS0 and the current
// layer, and a cache of one table of the selected model per projectile
// element and layer, read from or written to the table directory.
#pragma once

#include <memory>
#include <string>

#include "core/double_lanes.h"
#include "physics/stopping_models.h"

namespace orvane {

// The stopping of one table near a point (v, rs): its value as
// STP::Stopping interpolates it, its slope along the speed within the
// table's column of v, and how far the speed may fall and stay in that
// column, where the stopping goes on along the same line.
struct StoppingLine {
  double stopping = 0.0;  // eV/A
  double slope = 0.0;     // eV/A per atomic unit of speed
  double room = 0.0;      // atomic units of speed
};

// The look-ups of one stopping table, written out so that the many
// look-ups of a flight can run side by side.
class StoppingTable {
 public:
  explicit StoppingTable(const double* values) : values_(values) {}
  // False where (v, rs) lies beyond the table (STP::Stopping then
  // evaluates the model).
  inline bool Line(double v, double rs, StoppingLine& line) const;
  // The lines at four points (speeds v, radii rs), each lane on its own:
  // where the mask covered holds (all bits set) the line through the
  // column's two speeds, each interpolated along the radius; elsewhere a
  // line of the table's edge.  Without a branch, so that the look-ups run
  // side by side.
  [[gnu::always_inline]] inline void Lines(const Lanes& v, const Lanes& rs, Lanes& stopping,
                                           Lanes& slope, Lanes& room, LaneMask& covered) const;

 private:
  const double* values_;
};

class STP {
 public:
  static constexpr int kElementSlots = 104;  // projectile atomic numbers 0..103
  static constexpr int kLayerSlots = 5;
  // Row j holds rs_j = 0.001 + 0.02 j bohr, column i v_i = 0.001 + 0.002 i.
  static constexpr int kRows = 300;
  static constexpr int kColumns = 2750;
  static constexpr int kEntries = kRows * kColumns;
  // The grid coordinates of a speed and a radius: column i at v = 0.002 i
  // and row j at rs = 0.02 j, although the entries were computed 0.001
  // further on.
  static constexpr double kColumnsPerSpeed = kColumns / 5.5;  // 1 / 0.002, exactly 500
  static constexpr double kRowsPerRadius = kRows / 6.0;       // 1 / 0.02, exactly 50

  // Stopping "Our", ionization "BK", RS0 1.8, layer 0, no table.
  STP();
  // A copy shares the tables read so far (they are never written once
  // read) and keeps its own layer: parallel ions read one set of tables.
  STP(const STP&) = default;
  STP& operator=(const STP&) = default;

  // Indexes into kStoppingModels and kIonizationModels.
  void SelectModels(int stopping, int ionization);
  // The layer (0..4) in which the ion now moves, and its RS0 (bohr).
  void SetLayer(int layer, double rs0);

  int StoppingIndex() const { return stopping_; }
  int IonizationIndex() const { return ionization_; }
  int Layer() const { return layer_; }
  double RS0() const { return parameters_.rs0; }

  // eV/A of the selected model at the speed v (atomic units) and radius rs
  // (bohr): interpolated bilinearly in the table of (Z1, current layer),
  // which is read or generated on first use, or computed directly when
  // (v, rs) lies beyond the table.
  double Stopping(double v, double z1, double rs);
  // The table of Z1 in the current layer, read or generated on first use.
  StoppingTable TableOf(double z1) { return StoppingTable(Table(static_cast<int>(z1), z1)); }
  // The selected model evaluated directly.
  double Model(double v, double z1, double rs) const;
  // The selected model and what it reads besides (v, Z1, rs).
  StoppingFunction ModelFunction() const;
  const StoppingParameters& Parameters() const { return parameters_; }

  // Frees every table: the next simulation reads or generates its own.
  void Release();

 private:
  const double* Table(int z, double z1);
  std::unique_ptr<double[]> LoadOrGenerate(int z, double z1) const;
  // Fills every entry with the selected model.
  void Generate(double* table, double z1) const;
  std::string TablePath(int z) const;

  int stopping_;
  int ionization_;
  int layer_ = 0;
  StoppingParameters parameters_;
  std::shared_ptr<double[]> cache_[kElementSlots][kLayerSlots];
};

void StoppingTable::Lines(const Lanes& v, const Lanes& rs, Lanes& stopping, Lanes& slope,
                          Lanes& room, LaneMask& covered) const {
  const Lanes row = rs * STP::kRowsPerRadius;
  const Lanes column = v * STP::kColumnsPerSpeed;
  const Lanes zero = {};
  covered = (row >= zero) & (row < zero + (STP::kRows - 1)) & (column >= zero) &
            (column < zero + (STP::kColumns - 1));
  // The lower grid point, held within the table (not a number to 0), as
  // the conversion to an integer finds it.
  const Lanes lastRow = zero + (STP::kRows - 1.5), lastColumn = zero + (STP::kColumns - 1.5);
  const Lanes rowWithin = zero < row ? (row < lastRow ? row : lastRow) : zero;
  const Lanes columnWithin = zero < column ? (column < lastColumn ? column : lastColumn) : zero;
  const IndexLanes j = __builtin_convertvector(rowWithin, IndexLanes);
  const IndexLanes i = __builtin_convertvector(columnWithin, IndexLanes);
  const IndexLanes corner = j * STP::kColumns + i;
  Lanes lowerLeft, lowerRight, upperLeft, upperRight;
  for (int lane = 0; lane < kSiteLanes; ++lane) {
    const double* lower = values_ + corner[lane];
    lowerLeft[lane] = lower[0];
    lowerRight[lane] = lower[1];
    upperLeft[lane] = lower[STP::kColumns];
    upperRight[lane] = lower[STP::kColumns + 1];
  }
  const Lanes columnOfI = __builtin_convertvector(i, Lanes);
  const Lanes fr = row - __builtin_convertvector(j, Lanes);
  // Along the radius first, at the column's two speeds.
  const Lanes atLeft = lowerLeft + fr * (upperLeft - lowerLeft);
  const Lanes atRight = lowerRight + fr * (upperRight - lowerRight);
  const Lanes rise = atRight - atLeft;
  stopping = atLeft + (column - columnOfI) * rise;
  slope = rise * STP::kColumnsPerSpeed;
  room = v - columnOfI / STP::kColumnsPerSpeed;
}

bool StoppingTable::Line(double v, double rs, StoppingLine& line) const {
  const Lanes zero = {};
  Lanes stopping, slope, room;
  LaneMask covered;
  Lines(zero + v, zero + rs, stopping, slope, room, covered);
  if (covered[0] == 0) return false;
  line.stopping = stopping[0];
  line.slope = slope[0];
  line.room = room[0];
  return true;
}

}  // namespace orvane
