// The implant of one ion and the cascade that it starts.
#pragma once

#include "run/run_state.h"

namespace orvane {

// Implants one ion (or molecule) and follows its cascade until nothing
// moves.
void ImplantOne(RunState& state);

}  // namespace orvane
