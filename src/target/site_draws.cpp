#include "target/site_draws.h"

#include <cstring>

#include "core/split_mix.h"

namespace orvane {

uint64_t SiteDraws::NextSearch() { return Mix(Ion + ++Searches * kGoldenGamma); }

uint64_t DisplacementWord(uint64_t search, int site) {
  return SplitMixWord(search, 2 * static_cast<uint64_t>(site) + 1);
}

uint64_t SpeciesWord(uint64_t search, int site) {
  return SplitMixWord(search, 2 * static_cast<uint64_t>(site) + 2);
}

Vector KeyedThermalShift(const ThermalTable& table, double a, uint64_t word) {
  static_assert(ThermalTable::kQuantiles == 2048, "11 bits choose a deviate");
  double shift[3];
  for (int axis = 0; axis < 3; ++axis) {
    const double magnitude = a * table.Values[(word >> (11 * axis)) & 2047u];
    uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    bits ^= ((word >> (33 + axis)) & 1u) << 63;
    std::memcpy(&shift[axis], &bits, sizeof bits);
  }
  return Vector(shift[0], shift[1], shift[2]);
}

}  // namespace orvane
