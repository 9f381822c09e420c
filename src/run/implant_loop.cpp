#include "run/implant_loop.h"

namespace orvane {

void ImplantOne(RunState& /*state*/) {}

}  // namespace orvane
