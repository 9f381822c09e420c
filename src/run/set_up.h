// The run set-up, done once after the configuration has been read.
#pragma once

#include "run/run_state.h"

namespace orvane {

// Prepares the run: the stopping and ionization models chosen by name, the
// plotting windows (with openWindows), the search limits, the random stream
// from Seed1 and Seed2, the implant frame, the collision tables (with
// prepareTables), the crystals of the layers with their electron densities,
// and the cascade engine.
void SetUp(RunState& state, int argc, char** argv, int prepareTables, int openWindows);

}  // namespace orvane
