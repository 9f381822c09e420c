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

// (Nothing here returns lanes by value: a processor with only two lanes
// would return them otherwise than one with four.)
inline void Load(const double* from, Lanes& lanes) { std::memcpy(&lanes, from, sizeof lanes); }

inline void Store(const Lanes& lanes, double* to) { std::memcpy(to, &lanes, sizeof lanes); }
inline void Store(const LaneMask& mask, int64_t* to) { std::memcpy(to, &mask, sizeof mask); }

}  // namespace orvane
