#include "run/set_up.h"

#include <iostream>

namespace orvane {

namespace {

// The crystals of the layers with their electron densities; the first layer
// and its crystal become current.
void BuildTarget(RunState& state, int prepareTables) {
  const Configuration& c = state.Config;
  TargetStack& target = state.Stack;
  target.CellRange = c.CellRange;
  target.InteractionRadius = c.InteractionRadius;
  target.GhiLimit = c.GhiLimit;
  target.SimultaneousDistance = c.SimultaneousDistance;
  MakeLayers(target, state.Layers, state.Atoms, state.Frame, state.AtomicDensities, prepareTables,
             c.Verbose);
  state.CurrentLayer = &state.Layers.Front();
  state.CurrentCrystal = &target.Crystals.Front();
}

}  // namespace

void SetUp(RunState& state, int /*argc*/, char** /*argv*/, int prepareTables, int /*openWindows*/) {
  Configuration& c = state.Config;
  c.GhiLimit += 1.0862e-05;
  c.CellRange = 1.5;
  if (c.SimultaneousDistance < 0.0) c.SimultaneousDistance = 0.0;
  if (c.SD2 < 0.0) c.SD2 = 0.0;
  state.Rng.Seed(c.Seed1, c.Seed2);
  state.Frame = Axes::Build(c.ABC, c.FLAT, c.Cut_Tha, c.Cut_Phi, c.Verbose != 0, std::cout);
  BuildTarget(state, prepareTables);
  state.Sigma0 = 0.0;
  state.PathSum = 0.0;
  state.Damage.Displacements = 0.0;
}

}  // namespace orvane
