#include "run/tally_step.h"

#include <iostream>
#include <memory>
#include <string>

#include "damage/damage_plot.h"
#include "tally/finished_particles.h"
#include "tally/histo_plot.h"
#include "tally/pearson.h"
#include "tally/profile_files.h"

namespace orvane {

namespace {

// The intermediate outputs of ion k: profiles, split depths and plots.
void PeriodicOutputs(RunState& state, uint32_t k) {
  const Configuration& c = state.Config;
  // Whoever follows the run in its files finds them written so far.
  state.AmorphizationVsDose.Flush();
  state.RetainedDamage.Flush();
  for (int species : state.Tallies.Tracked) {
    Hist& hist = state.Tallies.HistogramOf(species);
    hist.Compute();
    if (state.Current.RareEvent != 0) hist.UpdateSplitDepths();
    if (c.REShow) hist.ShowSplitDepths(species, k, state.OutputDirectory, state.Windows.Splitting);
    // The profile files are written on the writer's thread, from a copy.
    std::shared_ptr<const Hist> profiles = hist.ProfilesOnly();
    state.Writer.Post([profiles, species, directory = state.OutputDirectory,
                       name = std::string(c.HSTFile), fullDose = c.FullDoseOutput != 0, k,
                       ions = state.Current.NumberOfImplants, pearson = c.PearsonIV != 0] {
      SaveHisto(*profiles, species, directory, name, fullDose, k, ions);
      SaveHistoR(*profiles, species, directory, name);
      if (pearson) SavePearsonIV(*profiles, species, directory);
    });
  }
  // One damage profile serves every species.  The plot reads it from its
  // file, so the file is brought up to date first.
  if (c.ShowDamage) {
    state.Damage.SaveAmorph(state.OutputDirectory);
    PlotDamage(state.Windows.Damage, state.OutputDirectory, c.GPInitDamage, c.GPPlotDamage);
  }
  if (c.ShowHisto1D) {
    state.Writer.Finish();  // the plot reads the profile files
    ShowFinalState1D(state.Windows.Doping, state.OutputDirectory, state.Tallies.Tracked, c.HSTFile,
                     c.GPInit, c.GPPlot, true);
  }
}

}  // namespace

uint32_t TallyIon(RunState& state) {
  const uint32_t k = state.NextIon;
  TallyTotals totals{state.CollisionTotal, state.DistanceTotal, state.PathSum};
  static std::ostream nowhere(nullptr);  // a stream without a buffer writes nothing
  std::ostream& ionLines = state.QuietIons ? nowhere : std::cout;
  const int walked = TallyFinishedParticles(state.LastIon, k, state.Config.REType, state.Frame,
                                            state.Tallies, totals, ionLines);
  if (walked > 0) {
    state.Sigma0 = state.Damage.FoldCrossSection(state.Sigma0, state.PathSum, k);
    state.PathSum = 0.0;
  }
  const Configuration& c = state.Config;
  if (c.REInterval > 0 && k % c.REInterval == 0 && static_cast<int64_t>(k) > c.REThreshold) {
    PeriodicOutputs(state, k);
  }
  state.Damage.AppendRetained(state.RetainedDamage);
  state.NextIon = k + 1;
  return state.NextIon;
}

}  // namespace orvane
