// The species whose ions are tallied, in the order of the implanted-species
// slots of the simulation: the leading non-zero slots, at most ten, each
// species once, with the number of its atoms in one implanted molecule.
#pragma once

#include <cstdint>

namespace orvane {

class TrackedSpecies {
 public:
  static constexpr int kCapacity = 10;
  static constexpr int kLargestSpecies = 10;  // the element list holds ten elements

  TrackedSpecies() = default;
  // The leading non-zero entries of the ten slots, a species named by
  // several slots once; asserts that each names a species of the element
  // list (1..10).
  explicit TrackedSpecies(const int32_t (&slots)[kCapacity]);

  int Count() const { return count_; }
  const int* begin() const { return species_; }
  const int* end() const { return species_ + count_; }

  // The atoms of the species in one implanted ion or molecule (0 for a
  // species that is not tracked).
  int AtomsPerImplant(int species) const;

 private:
  int species_[kCapacity] = {};
  int atoms_[kCapacity] = {};
  int count_ = 0;
};

}  // namespace orvane
