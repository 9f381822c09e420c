// The tables that parallel ions share.  The collision, friction and
// stopping tables are read or generated on their first look-up; before the
// ions of a simulation run in parallel, every table that they can look up is
// loaded once, so that the threads only ever read them.
#pragma once

#include <vector>

#include "run/run_state.h"

namespace orvane {

// The species indices that can move in the simulation in hand (its
// projectiles and every species of a layer, which can recoil) and those
// that can be struck (every species of a layer), without repetition.
struct SpeciesInPlay {
  std::vector<int> Moving;
  std::vector<int> Struck;
};
SpeciesInPlay SpeciesOfSimulation(const RunState& state);

// Loads the collision and friction tables of every pair of a moving and a
// struck species, and the non-local stopping table of every moving species
// for the stopping parameter of every layer; the current layer's stopping
// stays selected.
void LoadSharedTables(RunState& state);

}  // namespace orvane
