// The random streams of one ion when the ions run in parallel.  Ion i of
// simulation k draws its uniform numbers from a stream of its own and the
// atoms on the lattice sites from words keyed by its own key, both derived
// from the run's two seeds, k and i alone, so that its trajectory does not
// depend on the thread that follows it nor on the ions that thread followed
// before.
#pragma once

#include <cstdint>

#include "core/ranmar.h"

namespace orvane {

struct IonStreamId {
  int32_t Seed1 = 0;
  int32_t Seed2 = 0;
  uint32_t Simulation = 1;  // 1-based, in the order of the parameter file
  uint32_t Ion = 1;         // 1-based within the simulation
};

// Restarts the uniform stream at the ion's own state and returns the ion's
// key: the lag table and the key come from a 64-bit generator started at a
// mix of the four numbers, which differs for every pair of simulation and
// ion of a run, and so does the key.
uint64_t SeedIonStreams(const IonStreamId& id, Ranmar& uniform);

}  // namespace orvane
