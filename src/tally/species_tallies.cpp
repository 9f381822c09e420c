#include "tally/species_tallies.h"

#include "core/fatal.h"

namespace orvane {

namespace {

int CheckedSlot(int species) {
  Require(species >= 0 && species < SpeciesTallies::kSlots, "Species>=0 && Species<=10",
          "species_tallies", __LINE__);
  return species;
}

}  // namespace

Hist& SpeciesTallies::HistogramOf(int species) { return Histograms[CheckedSlot(species)]; }

const Hist& SpeciesTallies::HistogramOf(int species) const {
  return Histograms[CheckedSlot(species)];
}

Tally3D& SpeciesTallies::Tally3DOf(int species) { return Tallies3D[CheckedSlot(species)]; }

void SpeciesTallies::StartSimulation(const TrackedSpecies& tracked, int rareEvent, double maxDepth,
                                     double dose) {
  Tracked = tracked;
  for (int species : Tracked) {
    // The dose of the species' atoms: a molecule brings several of some.
    HistogramOf(species).Initialize(rareEvent, maxDepth, dose * Tracked.AtomsPerImplant(species));
    Tally3DOf(species).Clear();
  }
}

}  // namespace orvane
