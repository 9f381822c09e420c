// What moving a particle does to its lattice-frame position and its clock.
#pragma once

#include "core/vector.h"

namespace orvane {

// The vector with every component of magnitude below kTolerance set to 0.
Vector WithoutRoundingNoise(Vector v);

// Moves a lattice-frame position by whole cells towards the origin: along
// each axis it loses trunc(r / halfCell) cell lengths.  A position less than
// one cell length from the origin comes back into [-halfCell, halfCell).
void FoldIntoCell(Vector& r, const Vector& cell, const Vector& halfCell);

// The time (s) to cover the distance (angstrom) at the energy (eV) of a
// particle of the mass (amu); 0 when the energy is not positive.
double FlightTime(double distance, double energy, double mass);

}  // namespace orvane
