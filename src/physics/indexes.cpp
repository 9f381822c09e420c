#include "physics/indexes.h"

#include "core/fatal.h"
#include "core/vector.h"

namespace orvane {

namespace {

// Twelve points per decade from 10 eV, ten significant digits.  The fourth
// point of each decade is 2.008546611 (about e^3) times its power of ten, the
// second point of the decades from 100 eV is written 1.211527569 times its
// power of ten, and the last point is 8254041.852.
constexpr double kEnergies[N_ENERGY] = {
    10,          12.11527659, 14.67799268, 20.08546611, 21.5443469,  26.10157216, 31.6227766,
    38.3118685,  46.41588834, 56.23413252, 68.12920691, 82.54041853, 100,         121.1527569,
    146.7799268, 200.8546611, 215.443469,  261.0157216, 316.227766,  383.118685,  464.1588834,
    562.3413252, 681.2920691, 825.4041853, 1000,        1211.527569, 1467.799268, 2008.546611,
    2154.43469,  2610.157216, 3162.27766,  3831.18685,  4641.588834, 5623.413252, 6812.920691,
    8254.041853, 10000,       12115.27569, 14677.99268, 20085.46611, 21544.3469,  26101.57216,
    31622.7766,  38311.8685,  46415.88834, 56234.13252, 68129.20691, 82540.41853, 100000,
    121152.7569, 146779.9268, 200854.6611, 215443.469,  261015.7216, 316227.766,  383118.685,
    464158.8834, 562341.3252, 681292.0691, 825404.1853, 1000000,     1211527.569, 1467799.268,
    2008546.611, 2154434.69,  2610157.216, 3162277.66,  3831186.85,  4641588.834, 5623413.252,
    6812920.691, 8254041.852};

constexpr double kImpacts[N_S] = {0.0005, 0.001, 0.005, 0.01, 0.03, 0.05, 0.1, 0.15, 0.2, 0.3,
                                  0.4,    0.6,   0.8,   1.0,  1.2,  1.4,  1.6, 1.8,  2.0, 2.2,
                                  2.4,    2.6,   2.8,   3.0,  3.2,  3.4,  3.6, 3.8,  4.0, 5.0};

GridCell CellOf(const double* grid, int size, int index) {
  return {grid[index], grid[index + 1 < size ? index + 1 : index]};
}

// The last point of the rising grid that does not exceed the value (0 when
// all do; the last point for a value that is not a number, which exceeds
// nothing), found in steps of halving length without a branch on the
// comparisons.
int Bisect(const double* grid, int size, double value) {
  int lower = 0;
  int step = 1;
  while (2 * step < size) step *= 2;
  for (; step > 0; step /= 2) {
    const int next = lower + step;
    if (next < size && !(grid[next] > value)) lower = next;
  }
  return lower;
}

GridCell AngleCell(int index, double step) { return {index * step, (index + 1) * step}; }

}  // namespace

GridCell EnergyIndexToValue(int index) {
  Require(index >= 0 && index <= N_ENERGY - 1, "Index>=0&&Index<=N_ENERGY-1", "indexes", __LINE__);
  return CellOf(kEnergies, N_ENERGY, index);
}

GridCell ImpactIndexToValue(int index) {
  Require(index >= 0 && index <= N_S - 1, "Index>=0&&Index<=N_S-1", "indexes", __LINE__);
  return CellOf(kImpacts, N_S, index);
}

GridCell PhiIndexToValue(int index) {
  Require(index >= 0 && index <= N_PHI - 1, "Index>=0&&Index<=N_PHI-1", "indexes", __LINE__);
  return AngleCell(index, 2.0 * kPi / N_PHI);
}

GridCell ThetaIndexToValue(int index) {
  Require(index >= 0 && index <= N_THETA - 1, "Index>=0&&Index<=N_THETA-1", "indexes", __LINE__);
  return AngleCell(index, kPi / N_THETA);
}

GridCell AlphaIndexToValue(int index) {
  Require(index >= 0 && index <= N_ALPHA - 1, "Index>=0&&Index<=N_ALPHA-1", "indexes", __LINE__);
  return AngleCell(index, 2.0 * kPi / N_ALPHA);
}

int EnergyValueToIndex(double energy) { return Bisect(kEnergies, N_ENERGY, energy); }

int ImpactValueToIndex(double impact) { return Bisect(kImpacts, N_S, impact); }

}  // namespace orvane
