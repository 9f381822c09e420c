// What couples the ions of a parallel run from one batch to the next: the
// damage profile and the rare-event split depths of every species, as the
// run has them, and whether the run goes on.  The first process of a
// cluster job applies the batches and sends this, a few kilobytes, to the
// others, whatever the number of ions and processes.
#pragma once

#include <type_traits>

#include "damage/varhst.h"
#include "run/run_state.h"
#include "tally/hist.h"
#include "tally/species_tallies.h"

namespace orvane {

struct SplitDepths {
  int n = 0;
  double SplitDepth[Hist::kMaxSplitDepths] = {};
  double Deepest = 1.0;
  double Shallowest = 0.0;
};

struct BatchCoupling {
  VarHist Damage;
  SplitDepths Depths[SpeciesTallies::kSlots];
  bool GoOn = true;
};

// A plain record, which another process can receive as bytes.
static_assert(std::is_trivially_copyable_v<BatchCoupling>);

// The split depths of a histogram, and back.
SplitDepths SplitDepthsOf(const Hist& hist);
void AdoptSplitDepths(const SplitDepths& depths, Hist& hist);

// What couples the ions in the run now.
BatchCoupling CouplingOf(const RunState& run, bool goOn);
// Gives the run the damage profile and split depths of the coupling.
void AdoptCoupling(const BatchCoupling& coupling, RunState& run);

}  // namespace orvane
