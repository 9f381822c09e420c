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
  int32_t Next() {
    const uint32_t value = state_[(head_ + 34 - 31) % 34] + state_[(head_ + 34 - 3) % 34];
    state_[head_] = value;
    head_ = (head_ + 1) % 34;
    return static_cast<int32_t>(value >> 1);
  }

 private:
  uint32_t state_[34];  // the last 34 terms r[i-34] .. r[i-1], head_ at r[i-34]
  int head_ = 0;
};

// The process-wide sequence, started once like the C library's own.
LibcRandom& ThermalSigns();

}  // namespace orvane
