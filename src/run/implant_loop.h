// The implant of one ion (or one molecule of several ions) and the cascade
// that it starts, followed until no particle is left in motion.
#pragma once

#include "run/run_state.h"

namespace orvane {

// The rare-event copies that one ion (or molecule) may make: beyond them its
// particles go on without splitting, so that no ion takes minutes.
constexpr uint32_t kMaxSplitCopiesPerIon = 1000;

// The start position folded into the crystal cell around the origin: each
// component less the whole cells that bring it within half a cell.
Vector FoldStartIntoCell(const Vector& position, const Vector& cell, const Vector& halfCell);

// The ion energy of the run's energy spread law (0 none, 1 uniform of width
// sigma, 2 Gaussian of deviation sigma), drawn from the stream; an energy
// at or below 0 is drawn again.
double DrawEnergy(double energy, int spread, double sigma, Ranmar& rng);

// The cell edges of the current crystal, and their halves in single
// precision, for the implant loop and the engine.
void UseCurrentCrystalCell(RunState& state);

// The stopping parameter RS0 of the simulation for the current layer.
void UseLayerStopping(RunState& state);

// Implants one ion (or molecule) and follows its cascade until nothing
// moves; the particles that came to rest or left are in state.Finished.
void ImplantOne(RunState& state);

}  // namespace orvane
