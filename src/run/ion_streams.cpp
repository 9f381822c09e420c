#include "run/ion_streams.h"

namespace orvane {

namespace {

constexpr uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ull;

// The SplitMix64 output function: a bijection of 64-bit words that spreads
// every input bit over the whole output.
uint64_t Mix(uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t Pair(uint32_t high, uint32_t low) { return static_cast<uint64_t>(high) << 32 | low; }

// The SplitMix64 generator: a Weyl sequence put through Mix.
class SplitMix {
 public:
  explicit SplitMix(uint64_t state) : state_(state) {}
  uint64_t Next() { return Mix(state_ += kGoldenGamma); }

 private:
  uint64_t state_;
};

}  // namespace

void SeedIonStreams(const IonStreamId& id, Ranmar& uniform, LibcRandom& signs) {
  // Mix is a bijection, so for fixed seeds distinct (simulation, ion) pairs
  // start distinct generators.
  const uint64_t seeds =
      Mix(Pair(static_cast<uint32_t>(id.Seed1), static_cast<uint32_t>(id.Seed2)));
  SplitMix generator(Mix(seeds ^ Pair(id.Simulation, id.Ion)));
  uint32_t lags[97];
  for (uint32_t& lag : lags) lag = static_cast<uint32_t>(generator.Next() >> 40);
  uniform.SeedLags(lags);
  // The library's seeds run over 1 .. 2^31 - 2 without repeating a sequence.
  signs = LibcRandom(static_cast<int32_t>(1 + generator.Next() % 2147483646u));
}

}  // namespace orvane
