#include "run/set_up.h"

#include <iostream>

#include "physics/stopping_models.h"
#include "run/implant_loop.h"
#include "run/model_selection.h"

namespace orvane {

namespace {

// The electronic stopping and ionization models named in the parameter file.
void SelectStoppingModels(RunState& state) {
  Configuration& c = state.Config;
  const int stopping = SelectModel(c.Stopping, kStoppingModels, kStoppingModelCount,
                                   "# The stopping you can select are:\n", 502);
  if (c.Verbose) {
    std::cout << " Using " << c.Stopping << " for stopping. "
              << kStoppingModels[stopping].description << '\n';
  }
  const int ionization = SelectModel(c.Ionization, kIonizationModels, kIonizationModelCount,
                                     "# The ionization you can select are:\n", 503);
  if (c.Verbose) {
    std::cout << " Using " << c.Ionization << " as ionization. "
              << kIonizationModels[ionization].description << '\n';
  }
  state.NonLocalStopping.SelectModels(stopping, ionization);
}

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

void SetUp(RunState& state, int argc, char** argv, int prepareTables, int openWindows) {
  Configuration& c = state.Config;
  SelectStoppingModels(state);
  if (openWindows) {
    OpenPlotWindows(state.Windows, argc > 1 ? argv[1] : "", c.ShowHisto1D, c.REShow, c.ShowDamage);
  }
  c.GhiLimit += kTolerance;
  c.CellRange = 1.5;
  if (c.SimultaneousDistance < 0.0) c.SimultaneousDistance = 0.0;
  if (c.SD2 < 0.0) c.SD2 = 0.0;
  state.Rng.Seed(c.Seed1, c.Seed2);
  state.Frame = Axes::Build(c.ABC, c.FLAT, c.Cut_Tha, c.Cut_Phi, c.Verbose != 0, std::cout);
  if (prepareTables) state.Geometry.Tables.LoadAll(state.Atoms, state.Potentials);
  BuildTarget(state, prepareTables);
  state.Engine.Configure(state.CurrentCrystal->LatticeParameter, c.InteractionRadius, c.GhiLimit,
                         c.ThresholdEnergy, c.SD2, state.Temperature);
  UseCurrentCrystalCell(state);
  state.Sigma0 = 0.0;
  state.PathSum = 0.0;
  state.Damage.Displacements = 0.0;
}

}  // namespace orvane
