#include "tally/tracked_species.h"

#include "core/fatal.h"

namespace orvane {

TrackedSpecies::TrackedSpecies(const int32_t (&slots)[kCapacity]) {
  for (int slot = 0; slot < kCapacity && slots[slot] != 0; ++slot) {
    const int32_t species = slots[slot];
    Require(species >= 1 && species <= kLargestSpecies, "Species>=1 && Species<=10",
            "tracked_species", __LINE__);
    int i = 0;
    while (i < count_ && species_[i] != species) ++i;
    if (i == count_) species_[count_++] = species;
    ++atoms_[i];
  }
}

int TrackedSpecies::AtomsPerImplant(int species) const {
  for (int i = 0; i < count_; ++i) {
    if (species_[i] == species) return atoms_[i];
  }
  return 0;
}

}  // namespace orvane
