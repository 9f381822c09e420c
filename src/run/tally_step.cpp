#include "run/tally_step.h"

namespace orvane {

uint32_t TallyIon(RunState& state) { return ++state.NextIon; }

}  // namespace orvane
