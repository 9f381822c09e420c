#include "run/set_up.h"

#include <iostream>

namespace orvane {

void SetUp(RunState& state, int /*argc*/, char** /*argv*/, int /*prepareTables*/,
           int /*openWindows*/) {
  Configuration& c = state.Config;
  c.GhiLimit += 1.0862e-05;
  c.CellRange = 1.5;
  if (c.SimultaneousDistance < 0.0) c.SimultaneousDistance = 0.0;
  if (c.SD2 < 0.0) c.SD2 = 0.0;
  state.Rng.Seed(c.Seed1, c.Seed2);
  state.Frame = Axes::Build(c.ABC, c.FLAT, c.Cut_Tha, c.Cut_Phi, c.Verbose != 0, std::cout);
  state.Sigma0 = 0.0;
  state.PathSum = 0.0;
  state.Damage.Displacements = 0.0;
}

}  // namespace orvane
