// Two doubles side by side, for loops that treat two sites at a time: the
// compiler hands their arithmetic to the processor's vector unit where
// there is one, and each lane rounds as a lone double would.
#pragma once

#include <cstdint>
#include <cstring>

namespace orvane {

typedef double Pair __attribute__((vector_size(2 * sizeof(double))));
// What comparing two pairs gives: all bits set in a lane where it holds.
typedef int64_t PairMask __attribute__((vector_size(2 * sizeof(int64_t))));

inline Pair Both(double value) { return Pair{value, value}; }

inline Pair Load(const double* from) {
  Pair pair;
  std::memcpy(&pair, from, sizeof pair);
  return pair;
}

inline void Store(const Pair& pair, double* to) { std::memcpy(to, &pair, sizeof pair); }

}  // namespace orvane
