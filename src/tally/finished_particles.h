// The first part of the tally after every ion: the particles that the ion's
// cascade finished are walked in order, and every ion among them (back
// scattered, implanted, transmitted or abandoned) is entered in its
// species' histogram and 3-D tally and gets its console line.
#pragma once

#include <cstdint>
#include <iosfwd>

#include "core/axes.h"
#include "core/list.h"
#include "core/particle.h"
#include "tally/species_tallies.h"

namespace orvane {

// The running sums of a simulation that the walk adds to.
struct TallyTotals {
  uint32_t& CollisionTotal;    // collisions of the tallied ions
  long double& DistanceTotal;  // path of the tallied ions, angstrom
  double& PathSum;             // path of every finished particle of the ion, angstrom
};

// True for the statuses that end an ion's trajectory (6 to 9).
bool EndsIon(int status);

// Walks the finished particles of ion number ion: the rare-event quantity
// is the depth for reType 0, the path length otherwise; depths are taken
// along the first row of the implant frame.  Returns the number of
// particles walked.
int TallyFinishedParticles(const List<Particle>& finished, uint32_t ion, int reType,
                           const Axes& frame, SpeciesTallies& tallies, TallyTotals totals,
                           std::ostream& out);

// The console line of a tallied ion: its number, depth (nm), weight, path
// (nm), the cascade time so far (s) and, unless implanted, its status name.
// Depth and path keep the stream's notation with 4 digits.
void WriteIonLine(std::ostream& out, uint32_t ion, double depth, const Particle& particle,
                  double ionTime);

}  // namespace orvane
