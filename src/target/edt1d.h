// The spherically averaged electron density of an isolated atom as a
// function of the distance from its nucleus, interpolated log-linearly
// between tabulated distances.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace orvane {

class EDT1D {
 public:
  static constexpr int kCapacity = 2000;

  // One entry (0, 0) and Last = 1: no table to look up yet.
  EDT1D();

  // Reads "distance density" pairs (angstrom, electrons per cubic angstrom)
  // from the density directory and prints "(path) ND = Last".  The list ends
  // at the end of the file, at a negative distance or a non-positive density,
  // or after 2000 pairs.  A missing file ends the process with status 300; a
  // file of fewer than three pairs, or whose distances do not increase, with
  // status 303.  The mode is accepted and not used (callers pass 1).
  void ReadTable(const std::string& name, int mode);

  // Electrons per cubic angstrom at the distance r (angstrom); 0 for r <= 0.
  // Beyond the tabulated distances the end intervals are extrapolated, so
  // entry 0 never takes part in a look-up.
  double Density(double r) const {
    if (r <= 0.0) return 0.0;
    const int i = Index(r);
    return std::exp(lnRho_[i - 1] + (r - r_[i - 1]) * slope_[i]);
  }

  // The index of the upper end of the interval that holds r: the first
  // entry of 2..Last whose distance exceeds r, or Last.  This is where the
  // bisection between entries 1 and Last ends, found through buckets of the
  // binary exponent and leading mantissa bits of r.
  int Index(double r) const {
    RequireTable();
    if (r < r_[1]) return 2;
    if (!(r < r_[last_])) return last_;
    // r < R[Last], so the scan never passes Last.
    int j = bucketStart_[BucketKey(r) - firstKey_];
    for (int step = 0; step < bucketSteps_; ++step) j += r_[j] <= r;
    return j;
  }

  int Last() const { return last_; }
  double R(int i) const { return r_[i]; }
  double LnRho(int i) const { return lnRho_[i]; }

 private:
  // The exponent and the leading mantissa bits of a positive distance:
  // increasing with the distance, 256 buckets per octave.
  static constexpr int kKeyShift = 52 - 8;
  static uint64_t BucketKey(double r) {
    uint64_t bits;
    std::memcpy(&bits, &r, sizeof bits);
    return bits >> kKeyShift;
  }
  // The smallest distance of the bucket.
  static double BucketBound(uint64_t key);
  // The first entry from j on (at most Last) whose distance exceeds r.
  int FirstBeyond(int j, double r) const;
  void PrepareLookUp();
  void RequireTable() const {
    if (last_ < 2) TableMissing();
  }
  [[noreturn]] static void TableMissing();

  double r_[kCapacity];
  double lnRho_[kCapacity];
  int last_ = 1;
  // slope_[i]: the logarithmic slope of the interval that ends at entry i.
  double slope_[kCapacity];
  uint64_t firstKey_ = 0;
  std::vector<uint16_t> bucketStart_;
  int bucketSteps_ = 0;  // the most entries that one bucket holds
};

// The process-wide isolated-atom densities, indexed by species index 0..10.
inline constexpr int kDensityTables = 11;
using IsolatedDensities = std::array<EDT1D, kDensityTables>;

}  // namespace orvane
