// The SplitMix64 mixing function and generator: every input bit spread over
// the whole 64-bit output, for streams keyed by numbers rather than carried
// from one draw to the next.
#pragma once

#include <cstdint>

namespace orvane {

inline constexpr uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ull;

// A bijection of 64-bit words.
inline uint64_t Mix(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// Word k of the generator started at the state: a Weyl sequence put
// through Mix, reached directly instead of stepped to.
inline uint64_t SplitMixWord(uint64_t state, uint64_t k) { return Mix(state + k * kGoldenGamma); }

// The same generator, stepped.
class SplitMix {
 public:
  explicit SplitMix(uint64_t state) : state_(state) {}
  uint64_t Next() { return Mix(state_ += kGoldenGamma); }

 private:
  uint64_t state_;
};

}  // namespace orvane
