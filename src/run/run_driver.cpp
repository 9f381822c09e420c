#include "run/run_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>

#include "core/fatal.h"
#include "core/libc_random.h"
#include "core/text_value.h"
#include "run/cluster.h"
#include "run/command_line.h"
#include "run/configure.h"
#include "run/follower_process.h"
#include "run/implant_loop.h"
#include "run/interruption.h"
#include "run/join_splitting.h"
#include "run/output_directory.h"
#include "run/parallel_driver.h"
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
  if (!complete.Empty()) {
    ReportJoinedProfiles(state,
                         JoinSplitting(complete, state.OutputDirectory, state.Config.HSTFile));
  }
  std::cout.flush();
  std::cerr << "# Interrupted by " << SignalName(signal) << " after " << ions << " of "
            << state.Current.NumberOfImplants << " ions of simulation " << k
            << ": the profiles, moments and coordinates of these ions are written in "
            << state.OutputDirectory << std::endl;
  return signal;
}

// The ions of the simulation in hand one after the other on the run's own
// streams; stops when closeIon returns false.
void ImplantInOneStream(RunState& state, const std::function<bool()>& closeIon) {
  const int ions = state.Current.NumberOfImplants;
  for (int ion = 1; ion <= ions; ++ion) {
    ImplantOne(state);
    ReduceFinished(state.Finished, state.LastIon);
    if (!closeIon()) return;
  }
}

// The files that grow by a line per ion, kept open while the ions of a
// simulation run.
void OpenPerIonFiles(RunState& state, const std::string& amorphizationPath) {
  state.AmorphizationVsDose.Open(amorphizationPath, "RunSimulations");
  state.RetainedDamage.Open(state.OutputDirectory + "/DDBC_1D.dat",
                            "DamageProfile::AppendRetained");
}

// Completes the files written while the ions ran, before the simulation's
// results (or those of an interrupted one) are written.
void FinishPerIonFiles(RunState& state) {
  state.AmorphizationVsDose.Close();
  state.RetainedDamage.Close();
  state.Writer.Finish();
}

}  // namespace

int RunSimulations(RunState& state, ParallelDriver* parallel) {
  const std::string path = state.OutputDirectory + "/MaxAmorf_vs_Dose.dat";
  if (std::FILE* f = std::fopen(path.c_str(), "w")) {
    std::fclose(f);
  } else {
    std::cerr << "# Error: RunSimulations, Can't open " << path << std::endl;
  }
  Require(state.Simulations.NumberOfElements() > 0, "Begin!=NULL", "list", 135);
  ProgressLine progress = ProgressLine::ForStandardError();
  int k = 1;
  for (const Simulation& simulation : state.Simulations) {
    SimulationHeader(state, simulation, k);
    const int ions = state.Current.NumberOfImplants;
    OpenPerIonFiles(state, path);
    progress.Start(ions);
    bool interrupted = false;
    // The tally and the lines of the ion just implanted; false when a
    // signal ends the run before the last ion.
    const auto closeIon = [&]() {
      progress.Hide();
      const uint32_t b = TallyIon(state);
      state.AmorphizationVsDose.Write(
          AmorphizationLine(b, state.Current.Dose, ions, state.Damage).c_str());
      progress.Update(static_cast<int>(b - 1), state.SimulationSeconds());
      interrupted = InterruptingSignal() != 0 && b <= static_cast<uint32_t>(ions);
      return !interrupted;
    };
    // A simulation without ions implants none.
    if (parallel != nullptr) {
      parallel->ImplantSimulation(state, k, closeIon);
    } else {
      ImplantInOneStream(state, closeIon);
    }
    progress.Finish();
    FinishPerIonFiles(state);
    if (interrupted) {
      SaveResultsSoFar(state, k, state.NextIon - 1);
      return EndInterrupted(state, k, state.NextIon - 1);
    }
    Statistics(state, k);
    if (InterruptingSignal() != 0) return EndInterrupted(state, k, std::max(ions, 0));
    ++k;
  }
  return 0;
}

int RunCommandLine(const CommandLine& line, const std::vector<std::string>& words,
                   const std::string& outputDirectory) {
  // Each run starts the classic sequence of thermal signs afresh.
  ThermalSigns() = LibcRandom();
  std::vector<char*> arguments = line.Arguments;
  const int argc = static_cast<int>(arguments.size()) - 1;
  char** argv = arguments.data();
  std::optional<InterruptionCatcher> catcher;
  const FollowerRole role;
  auto state = std::make_unique<RunState>();
  Banner(std::cout);
  Defaults(*state);
  state->StrictInput = line.Strict;
  state->QuietIons = line.Quiet;
  Configure(*state, argc, argv,
            role.ResultDirectory().empty() ? outputDirectory : role.ResultDirectory());
  role.ShowNoPlots(state->Config);
  const int mode = argc > 2 ? std::atoi(argv[2]) : 0;
  if (mode == 0) {
    RemoveEarlierResults(state->OutputDirectory,
                         WithoutFinalBlank(state->Config.PreviousDamageFile), std::cerr);
    // Tables and densities missing from their directories are made by the
    // first process; the others read them.
    cluster::FirstThenOthers([&] { SetUp(*state, argc, argv, 1, 1); });
    std::unique_ptr<ParallelDriver> parallel;
    const int threads = line.Threads != kOneStream ? ThreadCount(line.Threads) : 1;
    if (line.Threads != kOneStream) parallel = std::make_unique<ParallelDriver>(threads);
    state->Record.Start(RunInvocation{words, argv[1], line.Threads, threads, cluster::Size()});
    // Signals are caught from the first ion to the end of the join.
    catcher.emplace();
    if (const int signal = RunSimulations(*state, parallel.get())) {
      state->Record.Write(*state, 128 + signal);
      return 128 + signal;
    }
    ReportJoinedProfiles(
        *state, JoinSplitting(state->Simulations, state->OutputDirectory, state->Config.HSTFile));
    state->Record.Write(*state, 0);
  } else {
    DisplayOnly(*state, mode);
    JoinSplitting(state->Simulations, state->OutputDirectory, state->Config.HSTFile);
  }
  std::cout.flush();
  return 0;
}

int RunMain(int argc, char** argv) {
  if (AnswerOption(argc, argv, std::cout)) return 0;
  const CommandLine line = ReadCommandLine(argc, argv);
  if (cluster::Size() > 1 && line.Threads == kOneStream) {
    Fatal(cluster::kClusterStatus,
          "# Error: a run over several processes shares its ions in the batches of --threads: "
          "give --threads N (N threads in every process)\n");
  }
  return RunCommandLine(line, std::vector<std::string>(argv, argv + argc));
}

}  // namespace orvane
