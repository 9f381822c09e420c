// The displacements that the damage deposits of a batch of parallel ions
// retain, summed per depth cell in whole units of a fixed quantum: sums in
// integers add up to the same numbers in any order, so the sums that any
// threads and processes make of any shares of a batch merge into the same
// increments of the damage profile.  The cells are those of the profile the
// batch started from, made twice as wide as often as a deposit lies beyond
// the last of them.
#pragma once

#include <cstdint>

namespace orvane {

struct DamageIncrements {
  static constexpr int kCells = 100;
  // A sum stays at this bound once it reaches it: 2^16 times what a cell
  // of level 0 holds when amorphous (the quantum is 2^-46 of that), more
  // than any cell keeps unless the cells widen 2^16 times in one batch.
  static constexpr int64_t kFull = int64_t{1} << 62;

  float BaseWidth = 0.1f;  // angstrom: the cells of level 0
  double Unit = 1.0;       // displacements a count
  int Level = 0;           // the cells are BaseWidth 2^Level wide
  int64_t Counts[kCells] = {};

  // Empty, on the cells of the profile the batch starts from (of that
  // width, in angstrom), counting in units of 2^-46 of what such a cell
  // holds when amorphous (displacements).
  void Reset(float baseWidth, double amorphousContent);
  // Adds the displacements retained by a deposit at the depth (angstrom,
  // not negative): to the cell that trunc(depth / width) names in single
  // precision, as the profile finds its cells.
  void Add(double depth, double retained);
  // Adds the sums of another made on the same cells and quantum.
  void Merge(const DamageIncrements& other);
  // The width of the cells (angstrom).
  double CellWidth() const;

 private:
  // Makes the cells twice as wide, each new one holding its two.
  void Coarsen();
};

}  // namespace orvane
