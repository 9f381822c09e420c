#include "run/batch_coupling.h"

#include <algorithm>

namespace orvane {

SplitDepths SplitDepthsOf(const Hist& hist) {
  SplitDepths depths;
  depths.n = hist.n;
  std::copy(hist.SplitDepth, hist.SplitDepth + Hist::kMaxSplitDepths, depths.SplitDepth);
  depths.Deepest = hist.Deepest;
  depths.Shallowest = hist.Shallowest;
  return depths;
}

void AdoptSplitDepths(const SplitDepths& depths, Hist& hist) {
  hist.n = depths.n;
  std::copy(depths.SplitDepth, depths.SplitDepth + Hist::kMaxSplitDepths, hist.SplitDepth);
  hist.Deepest = depths.Deepest;
  hist.Shallowest = depths.Shallowest;
}

BatchCoupling CouplingOf(const RunState& run, bool goOn) {
  BatchCoupling coupling;
  coupling.Damage = run.Damage.Damage;
  for (int species : run.Tallies.Tracked) {
    coupling.Depths[species] = SplitDepthsOf(run.Tallies.HistogramOf(species));
  }
  coupling.GoOn = goOn;
  return coupling;
}

void AdoptCoupling(const BatchCoupling& coupling, RunState& run) {
  run.Damage.Damage = coupling.Damage;
  for (int species : run.Tallies.Tracked) {
    AdoptSplitDepths(coupling.Depths[species], run.Tallies.HistogramOf(species));
  }
}

}  // namespace orvane
