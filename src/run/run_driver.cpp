#include "run/run_driver.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "core/append_line.h"
#include "core/fatal.h"
#include "run/command_line.h"
#include "run/configure.h"
#include "run/implant_loop.h"
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

void RunSimulations(RunState& state) {
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
    progress.Start(ions);
    // A simulation without ions implants none.
    for (uint32_t b = 1; ions > 0 && b <= static_cast<uint32_t>(ions);) {
      ImplantOne(state);
      progress.Hide();
      b = TallyIon(state);
      AppendLine(path, AmorphizationLine(b, state.Current.Dose, ions, state.Damage),
                 "RunSimulations");
      progress.Update(static_cast<int>(b - 1), state.SimulationSeconds());
    }
    progress.Finish();
    Statistics(state, k);
    ++k;
  }
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
    RunSimulations(*state);
  } else {
    DisplayOnly(*state, mode);
  }
  JoinSplitting(state->Simulations, state->OutputDirectory, state->Config.HSTFile);
  std::cout.flush();
  return 0;
}

}  // namespace orvane
