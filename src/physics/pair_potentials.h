// The screening-type codes chosen for particular element pairs with the
// keyword "SpecificPotential", indexed by the two atomic numbers.
#pragma once

#include <cstdint>

namespace orvane {

struct PairPotentials {
  static constexpr int kSize = 100;
  int16_t Type[kSize][kSize] = {};

  static bool InTable(int z1, int z2) { return z1 >= 0 && z1 < kSize && z2 >= 0 && z2 < kSize; }
  // The code of the pair, 0 (the default screening) outside the table.
  int At(int z1, int z2) const { return InTable(z1, z2) ? Type[z1][z2] : 0; }
};

}  // namespace orvane
