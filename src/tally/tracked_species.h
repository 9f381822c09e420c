// The species whose ions are tallied, in the order of the implanted-species
// slots of the simulation: the leading non-zero slots, at most ten.
#pragma once

#include <cstdint>

namespace orvane {

class TrackedSpecies {
 public:
  static constexpr int kCapacity = 10;
  static constexpr int kLargestSpecies = 10;  // the element list holds ten elements

  TrackedSpecies() = default;
  // The leading non-zero entries of the ten slots; asserts that each names
  // a species of the element list (1..10).
  explicit TrackedSpecies(const int32_t (&slots)[kCapacity]);

  int Count() const { return count_; }
  const int* begin() const { return species_; }
  const int* end() const { return species_ + count_; }

 private:
  int species_[kCapacity] = {};
  int count_ = 0;
};

}  // namespace orvane
