#include "run/ion_streams.h"

#include "core/split_mix.h"

namespace orvane {

namespace {

uint64_t Pair(uint32_t high, uint32_t low) { return static_cast<uint64_t>(high) << 32 | low; }

}  // namespace

uint64_t SeedIonStreams(const IonStreamId& id, Ranmar& uniform) {
  // Mix is a bijection, so for fixed seeds distinct (simulation, ion) pairs
  // start distinct generators.
  const uint64_t seeds =
      Mix(Pair(static_cast<uint32_t>(id.Seed1), static_cast<uint32_t>(id.Seed2)));
  SplitMix generator(Mix(seeds ^ Pair(id.Simulation, id.Ion)));
  uint32_t lags[97];
  for (uint32_t& lag : lags) lag = static_cast<uint32_t>(generator.Next() >> 40);
  uniform.SeedLags(lags);
  return generator.Next();
}

}  // namespace orvane
