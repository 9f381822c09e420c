// The run set-up, done once after the configuration has been read.
#pragma once

#include "run/run_state.h"

namespace orvane {

// Prepares the run: search and window limits, the random stream from Seed1
// and Seed2, and the implant frame.
void SetUp(RunState& state, int argc, char** argv, int prepareTables, int openWindows);

}  // namespace orvane
