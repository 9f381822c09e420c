// The random streams of one ion when the ions run in parallel.  Ion i of
// simulation k draws its uniform numbers and the signs of its thermal
// displacements from streams of its own, derived from the run's two seeds,
// k and i alone, so that its trajectory does not depend on the thread that
// follows it nor on the ions that thread followed before.
#pragma once

#include <cstdint>

#include "core/libc_random.h"
#include "core/ranmar.h"

namespace orvane {

struct IonStreamId {
  int32_t Seed1 = 0;
  int32_t Seed2 = 0;
  uint32_t Simulation = 1;  // 1-based, in the order of the parameter file
  uint32_t Ion = 1;         // 1-based within the simulation
};

// Restarts both streams at the ion's own state: the lag table of the
// uniform stream and the seed of the sign stream come from a 64-bit
// generator started at a mix of the four numbers, which differs for every
// pair of simulation and ion of a run.
void SeedIonStreams(const IonStreamId& id, Ranmar& uniform, LibcRandom& signs);

}  // namespace orvane
