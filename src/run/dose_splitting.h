// Dose splitting: one simulation run as a sequence of dose pieces, so that
// the damage of the earlier pieces acts on the later ones.
#pragma once

#include "run/simulation.h"

namespace orvane {

// Appends the pieces of a dose-split simulation to the list, in order.  A
// dose distribution above the simulation's dose ends the run with 501.
void SplitDose(const Simulation& simulation, SimulationList& pieces);

}  // namespace orvane
