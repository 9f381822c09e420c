// Four doubles side by side, for loops that treat four sites at a time:
// the compiler hands their arithmetic to the processor's vector unit, in
// two halves where it holds only two, and each lane rounds as a lone double
// would.  A double in an expression with lanes stands for itself in every
// lane.
#pragma once

#include <cstdint>
#include <cstring>

namespace orvane {

constexpr int kSiteLanes = 4;
typedef double Lanes __attribute__((vector_size(kSiteLanes * sizeof(double))));
// What comparing two sets of lanes gives: all bits set in a lane where it
// holds.
typedef int64_t LaneMask __attribute__((vector_size(kSiteLanes * sizeof(int64_t))));

// The count n rounded up to whole sets of lanes, as the arrays that loops
// take four at a time are padded.
constexpr int WholeLanes(int n) { return (n + kSiteLanes - 1) / kSiteLanes * kSiteLanes; }

// Four whole numbers side by side, as the lanes' grid indices.
typedef int32_t IndexLanes __attribute__((vector_size(kSiteLanes * sizeof(int32_t))));

// (Nothing here returns lanes by value: a processor with only two lanes
// would return them otherwise than one with four.)
inline void Load(const double* from, Lanes& lanes) { std::memcpy(&lanes, from, sizeof lanes); }

inline void Store(const Lanes& lanes, double* to) { std::memcpy(to, &lanes, sizeof lanes); }
inline void Store(const LaneMask& mask, int64_t* to) { std::memcpy(to, &mask, sizeof mask); }

// Whether the mask holds in any lane.
inline bool Any(const LaneMask& mask) {
  int64_t lanes[kSiteLanes];
  Store(mask, lanes);
  int64_t any = 0;
  for (int64_t lane : lanes) any |= lane;
  return any != 0;
}

// Each lane as std::abs gives it: the sign bit cleared.
inline void Magnitude(const Lanes& x, Lanes& magnitude) {
  LaneMask bits;
  std::memcpy(&bits, &x, sizeof bits);
  bits &= INT64_MAX;
  std::memcpy(&magnitude, &bits, sizeof magnitude);
}

}  // namespace orvane
