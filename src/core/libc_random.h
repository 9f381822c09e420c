// The C library's random sequence (the additive feedback generator of the
// GNU C library, as rand() gives it after srand(seed); seed 1 is the
// sequence of a program that never sets one), reproduced without the
// library's lock.  It gives the signs of the thermal displacements.
#pragma once

#include <cstdint>

namespace orvane {

class LibcRandom {
 public:
  // The sequence of srand(seed); seed 0 gives that of seed 1, as in the library.
  explicit LibcRandom(int32_t seed = 1);
  // The next number in 0..2^31-1, as rand() would return it.
  // r[i] = r[i-31] + r[i-3], modulo 2^32.
  int32_t Next() {
    const uint32_t value = state_[oldest_] + state_[third_];
    state_[oldest_] = value;
    oldest_ = oldest_ == kLag - 1 ? 0 : oldest_ + 1;
    third_ = third_ == kLag - 1 ? 0 : third_ + 1;
    return static_cast<int32_t>(value >> 1);
  }
  // The next count numbers, in order, as Next gives them.
  void Fill(int32_t* out, int count);

 private:
  static constexpr int kLag = 31;

  uint32_t state_[kLag];  // the last 31 terms r[i-31] .. r[i-1] as a ring
  int oldest_ = 0;        // r[i-31], replaced by r[i]
  int third_ = 0;         // r[i-3]
};

// The process-wide sequence, started once like the C library's own.
LibcRandom& ThermalSigns();

}  // namespace orvane
