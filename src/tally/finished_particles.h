// The first part of the tally after every ion: the particles that the ion's
// cascade finished are reduced to what the tally needs, then every ion
// among them (back scattered, implanted, transmitted or abandoned) is
// entered in its species' histogram and 3-D tally and gets its console
// line.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <type_traits>
#include <vector>

#include "core/axes.h"
#include "core/list.h"
#include "core/particle.h"
#include "core/vector.h"
#include "tally/species_tallies.h"

namespace orvane {

// A finished particle that ends an ion, as the tally takes it.
struct EndedIon {
  Vector Abs;               // crystal axes, angstrom
  double Weight = 1.0;      // real ions it stands for
  double PathLength = 0.0;  // angstrom
  double Time = 0.0;  // s: the latest time of the cascade's particles up to this one
  int32_t Collisions = 0;
  int32_t Status = IMPLANTED_ION;
  int32_t Species = 0;
};

// A plain record, which another process can send as bytes.
static_assert(std::is_trivially_copyable_v<EndedIon>);

// What the tally needs of the particles that one ion's cascade finished:
// how many there were, the path they all travelled (summed in their
// order), and those that end an ion.
struct FinishedIon {
  int Walked = 0;
  double PathSum = 0.0;  // angstrom
  std::vector<EndedIon> Ended;
};

// The running sums of a simulation that the tally adds to.
struct TallyTotals {
  uint32_t& CollisionTotal;    // collisions of the tallied ions
  long double& DistanceTotal;  // path of the tallied ions, angstrom
  double& PathSum;             // path of every finished particle of the ion, angstrom
};

// True for the statuses that end an ion's trajectory (6 to 9).
bool EndsIon(int status);

// Reduces the finished particles, walked in their order, into ion (whose
// vector keeps its memory).
void ReduceFinished(const List<Particle>& finished, FinishedIon& ion);

// Tallies the finished particles of ion number ionNumber: the rare-event
// quantity is the depth for reType 0, the path length otherwise; depths
// are taken along the first row of the implant frame.  Returns the number
// of particles the cascade finished.
int TallyFinishedParticles(const FinishedIon& ion, uint32_t ionNumber, int reType,
                           const Axes& frame, SpeciesTallies& tallies, TallyTotals totals,
                           std::ostream& out);

// The console line of a tallied ion: its number, depth (nm), weight, path
// (nm), the cascade time so far (s) and, unless implanted, its status name.
// Depth and path keep the stream's notation with 4 digits.
void WriteIonLine(std::ostream& out, uint32_t ionNumber, double depth, const EndedIon& ended);

}  // namespace orvane
