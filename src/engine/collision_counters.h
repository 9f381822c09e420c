// The counters of the collision steps of a simulation, which the
// statistics report and reset.
#pragma once

#include <cstdint>

namespace orvane {

struct CollisionCounters {
  // Partners of all collision steps; divided by the number of steps it is
  // the mean number of simultaneous partners.
  long double NSimTotal = 0.0L;
  // Candidates dropped because their site was struck in the previous
  // collision step.
  int32_t SimultaneousCollisions = 0;
};

}  // namespace orvane
