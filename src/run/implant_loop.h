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

// Empties the finished list and puts the new ion, or the ions of the
// molecule (each with its share of the energy by mass, the last slot first),
// at the front of the moving list.
void StartIon(RunState& state);

// Says once per run on standard error that the ion reached the bound of
// rare-event copies.
void ReportSplitBound(RunState& state, uint32_t ion);

// Splits the work particle, a projectile, into two of half its weight when
// it reaches its next rare-event depth (or path length, REType 1) or, below
// the pE share of the beam energy, lies shallower than its pX limit.
void SplitRareEvents(RunState& state);

// Makes the layer that contains the depth current, with its crystal, cell
// and stopping parameter; a depth inside the target that lies in no layer
// ends the run (405).
void SelectLayer(RunState& state, double depth);

// Places the first moving particle, which comes from atoms drawn at random,
// in the current crystal's lattice: one that would stand within 0.5 A of a
// site, inside that atom, is put at a point of the cell drawn afresh (from
// the stream) until it stands clear.  Its next flight starts anew.
void PlaceInLattice(RunState& state);

// Implants one ion (or molecule) and follows its cascade until nothing
// moves; the particles that came to rest or left are in state.Finished.
void ImplantOne(RunState& state);

}  // namespace orvane
