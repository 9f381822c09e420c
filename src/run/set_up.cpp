#include "run/set_up.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "physics/stopping_models.h"
#include "physics/table_directory.h"
#include "run/implant_loop.h"
#include "run/model_selection.h"
#include "target/density_path.h"

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

// The directory part of a table prefix is created when it is missing, so
// that a run started anywhere can write the tables it generates.
void CreateTableDirectory(const std::string& prefix) {
  const std::size_t slash = prefix.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return;
  std::error_code ignored;  // a directory that cannot be made shows when a table is written
  std::filesystem::create_directories(prefix.substr(0, slash), ignored);
}

// Above this dose (atoms/cm^2) a damage model that retains nothing is worth
// a word: the user probably expects the profile to change with the dose.
constexpr double kDoseEffectsDose = 1e14;

void WarnOfInertDamageModel(const RunState& state) {
  for (const Simulation& s : state.Simulations) {
    if (s.Dose > kDoseEffectsDose && !state.Damage.RetainsDamage(s.Temperature)) {
      std::cerr << "# Warning: Dose above 1e14 at/cm^2, but with these damage constants (CteD "
                << state.Damage.CteD
                << ") no damage is retained: no dose effects (see orvane --help)" << std::endl;
      return;
    }
  }
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
  WarnOfInertDamageModel(state);
  if (prepareTables) {
    CreateTableDirectory(TableDirectory());
    CreateTableDirectory(DensityPath(""));
    state.Geometry.Tables.LoadAll(state.Atoms, state.Potentials);
  }
  BuildTarget(state, prepareTables);
  state.Engine.Configure(state.CurrentCrystal->LatticeParameter, c.InteractionRadius, c.GhiLimit,
                         c.ThresholdEnergy, c.SD2, state.Temperature);
  UseCurrentCrystalCell(state);
  state.Sigma0 = 0.0;
  state.PathSum = 0.0;
  state.Damage.Displacements = 0.0;
}

}  // namespace orvane
