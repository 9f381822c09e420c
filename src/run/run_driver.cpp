#include "run/run_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "core/append_line.h"
#include "core/fatal.h"
#include "run/command_line.h"
#include "run/configure.h"
#include "run/implant_loop.h"
#include "run/interruption.h"
#include "run/join_splitting.h"
#include "run/progress_line.h"
#include "run/reports.h"
#include "run/set_up.h"
#include "run/tally_step.h"

namespace orvane {

void Banner(std::ostream& os) {
  os << '\n' << kVersionLine << '\n';
}

std::string AmorphizationLine(uint32_t b, double dose, int ions, const DamageProfile& damage) {
  char line[160];
  std::snprintf(line, sizeof line, "%8g %lf %lf %lf\n", b * dose / ions, damage.PeakAmorphization(),
                static_cast<double>(damage.Damage.Width), damage.ArealDensity());
  return line;
}

namespace {

// The simulations run so far whose groups of dose pieces are complete.
SimulationList CompleteGroups(const SimulationList& simulations, int run) {
  SimulationList complete;
  for (const Simulation& simulation : simulations) {
    if (complete.NumberOfElements() == run) break;
    complete.Add(simulation);
  }
  while (!complete.Empty() && complete.Back().DoseSplitting) complete.RemoveLast();
  return complete;
}

// Ends a run interrupted after the given ions of simulation k, whose
// results are written: joins the complete groups and says what was kept.
int EndInterrupted(RunState& state, int k, uint32_t ions) {
  const int signal = InterruptingSignal();
  const SimulationList complete = CompleteGroups(state.Simulations, k);
  if (!complete.Empty()) JoinSplitting(complete, state.OutputDirectory, state.Config.HSTFile);
  std::cout.flush();
  std::cerr << "# Interrupted by " << SignalName(signal) << " after " << ions << " of "
            << state.Current.NumberOfImplants << " ions of simulation " << k
            << ": the profiles, moments and coordinates of these ions are written in "
            << state.OutputDirectory << std::endl;
  return signal;
}

}  // namespace

int RunSimulations(RunState& state) {
  const std::string path = state.OutputDirectory + "/MaxAmorf_vs_Dose.dat";
  if (std::FILE* f = std::fopen(path.c_str(), "w")) {
    std::fclose(f);
  } else {
    std::cerr << "# Error: RunSimulations, Can't open " << path << std::endl;
  }
  Require(state.Simulations.NumberOfElements() > 0, "Begin!=NULL", "list", 135);
  ProgressLine progress = ProgressLine::ForStandardError();
  CatchInterruptions();
  int k = 1;
  for (const Simulation& simulation : state.Simulations) {
    SimulationHeader(state, simulation, k);
    const int ions = state.Current.NumberOfImplants;
    progress.Start(ions);
    // A simulation without ions implants none.
    for (uint32_t b = 1; ions > 0 && b <= static_cast<uint32_t>(ions);) {
      ImplantOne(state);
      progress.Hide();
      b = TallyIon(state);
      AppendLine(path, AmorphizationLine(b, state.Current.Dose, ions, state.Damage),
                 "RunSimulations");
      progress.Update(static_cast<int>(b - 1), state.SimulationSeconds());
      if (InterruptingSignal() != 0 && b <= static_cast<uint32_t>(ions)) {
        progress.Finish();
        SaveResultsSoFar(state, k, b - 1);
        return EndInterrupted(state, k, b - 1);
      }
    }
    progress.Finish();
    Statistics(state, k);
    if (InterruptingSignal() != 0) return EndInterrupted(state, k, std::max(ions, 0));
    ++k;
  }
  return 0;
}

int RunMain(int argc, char** argv) {
  if (AnswerOption(argc, argv, std::cout)) return 0;
  auto state = std::make_unique<RunState>();
  Banner(std::cout);
  Defaults(*state);
  Configure(*state, argc, argv);
  const int mode = argc > 2 ? std::atoi(argv[2]) : 0;
  if (mode == 0) {
    SetUp(*state, argc, argv, 1, 1);
    if (const int signal = RunSimulations(*state)) return 128 + signal;
  } else {
    DisplayOnly(*state, mode);
  }
  JoinSplitting(state->Simulations, state->OutputDirectory, state->Config.HSTFile);
  std::cout.flush();
  return 0;
}

}  // namespace orvane
