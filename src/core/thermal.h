// Thermal vibrations of the lattice atoms in the Debye model: the
// one-dimensional amplitudes of the elements and the Gaussian displacement
// of an atom each time its site is examined.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/atom.h"
#include "core/vector.h"

namespace orvane {

struct ThermalTable {
  static constexpr int kQuantiles = 2048;
  static constexpr int kElements = 10;
  // [0] = 0, [1..2047] positive normal deviates, [2048 + j] the amplitude of
  // species j (1..10); slot 2048 (species 0) stays 0.
  double Values[kQuantiles + kElements + 1] = {};

  double Amplitude(int species) const { return Values[kQuantiles + species]; }
};

// The Debye factor Phi(x)/x + 1/4 at x = theta/T, from its series below
// x = 2.16 and from its exponential sum above.
double DebyeFactor(double x);

// Fills the quantiles and, for each element with a positive Debye
// temperature, its TAmp and table slot at temperature T (K); T < 0 means no
// vibration.
void ComputeAmplitudes(ThermalTable& table, AtomList& atoms, double temperature);

// The longest thermal displacement that the table can give any of its
// elements: the largest deviate times the largest amplitude along each of
// the three axes, angstrom.
double LargestThermalShift(const ThermalTable& table);

// The thermal displacement of an atom of amplitude a from its draws: along
// each axis, a normal deviate picked by a uniform number (in [0, 1)) and a
// sign by a number of the C library's sequence.
inline Vector ThermalShift(const ThermalTable& table, double a, const double* uniforms,
                           const int32_t* signs) {
  double shift[3];
  for (int axis = 0; axis < 3; ++axis) {
    const double g = table.Values[static_cast<int>(uniforms[axis] * ThermalTable::kQuantiles)];
    // The sign set by flipping the sign bit (-a g exactly), without a
    // branch that the processor would guess wrong half the time.
    uint64_t bits;
    const double magnitude = a * g;
    std::memcpy(&bits, &magnitude, sizeof bits);
    bits ^= static_cast<uint64_t>(signs[axis] < 1073741823) << 63;
    std::memcpy(&shift[axis], &bits, sizeof bits);
  }
  return Vector(shift[0], shift[1], shift[2]);
}

}  // namespace orvane
