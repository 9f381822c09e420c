// The depth histogram and the 3-D tally of every species, indexed by the
// species index, with the table of the species being tallied.  Every
// element of a ten-element list has its slot (indices 0..10).
#pragma once

#include "tally/hist.h"
#include "tally/tally_3d.h"
#include "tally/tracked_species.h"

namespace orvane {

struct SpeciesTallies {
  static constexpr int kSlots = TrackedSpecies::kLargestSpecies + 1;

  Hist Histograms[kSlots];
  Tally3D Tallies3D[kSlots];
  TrackedSpecies Tracked;

  // The slots of a species index; asserts that the index has one.
  Hist& HistogramOf(int species);
  const Hist& HistogramOf(int species) const;
  Tally3D& Tally3DOf(int species);

  // Tracks the species for a simulation and prepares their histograms
  // (RareEvent orders, maximum depth in angstrom, and the dose of the
  // implanted ions or molecules times the species' atoms in one) and 3-D
  // tallies.
  void StartSimulation(const TrackedSpecies& tracked, int rareEvent, double maxDepth, double dose);
};

}  // namespace orvane
