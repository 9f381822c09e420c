#include "run/shared_tables.h"

#include <algorithm>

#include "run/implant_loop.h"

namespace orvane {

namespace {

void AddOnce(std::vector<int>& species, int index) {
  if (index > 0 && std::find(species.begin(), species.end(), index) == species.end()) {
    species.push_back(index);
  }
}

// Any speed and radius: the look-up reads or generates the whole table.
constexpr double kAnySpeed = 1.0;
constexpr double kAnyRadius = 2.0;
constexpr double kAnyDistance = 0.5;

}  // namespace

SpeciesInPlay SpeciesOfSimulation(const RunState& state) {
  SpeciesInPlay play;
  for (const Layer& layer : state.Layers) {
    for (const BasisAtom& atom : layer.Basis) {
      AddOnce(play.Struck, atom.SpeciesA);
      AddOnce(play.Struck, atom.SpeciesB);
    }
  }
  for (int projectile : state.Current.Projectiles) AddOnce(play.Moving, projectile);
  for (int struck : play.Struck) AddOnce(play.Moving, struck);
  return play;
}

void LoadSharedTables(RunState& state) {
  const SpeciesInPlay play = SpeciesOfSimulation(state);
  TBL& collisions = state.Geometry.Tables;
  for (int moving : play.Moving) {
    const double z1 = state.Atoms.GetAt(moving).Z;
    for (int struck : play.Struck) {
      if (collisions.Table(moving - 1, struck - 1) == nullptr) {
        collisions.Generate(moving, struck, state.Atoms, state.Potentials);
      }
      state.LocalStopping.FFF(kAnyDistance, z1, state.Atoms.GetAt(struck).Z);
    }
  }
  const int layers = std::min(state.Layers.NumberOfElements(), Simulation::kLayers);
  for (int slot = 0; slot < layers; ++slot) {
    state.NonLocalStopping.SetLayer(slot, state.Current.RS0[slot]);
    for (int moving : play.Moving) {
      const double z1 = state.Atoms.GetAt(moving).Z;
      state.NonLocalStopping.Stopping(kAnySpeed, z1, kAnyRadius);
    }
  }
  UseLayerStopping(state);
}

}  // namespace orvane
