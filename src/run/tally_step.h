// The tally step after every ion: its finished particles (reduced to
// state.LastIon) are entered in
// the histograms with their console lines, the displacement cross-section
// is updated, the periodic outputs are written and "DDBC_1D.dat" grows.
#pragma once

#include <cstdint>

#include "run/run_state.h"

namespace orvane {

// Tallies the last ion and returns the number of the next one.
uint32_t TallyIon(RunState& state);

}  // namespace orvane
