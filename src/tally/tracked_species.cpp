#include "tally/tracked_species.h"

#include "core/fatal.h"

namespace orvane {

TrackedSpecies::TrackedSpecies(const int32_t (&slots)[kCapacity]) {
  while (count_ < kCapacity && slots[count_] != 0) {
    const int32_t species = slots[count_];
    Require(species >= 1 && species <= kLargestSpecies, "Species>=1 && Species<=10",
            "tracked_species", __LINE__);
    species_[count_++] = species;
  }
}

}  // namespace orvane
