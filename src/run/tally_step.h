// The tally step after every ion.
#pragma once

#include <cstdint>

#include "run/run_state.h"

namespace orvane {

// Records the particles that the last ion left, writes the outputs that
// are due and advances the ion number; returns the number of the next ion.
uint32_t TallyIon(RunState& state);

}  // namespace orvane
