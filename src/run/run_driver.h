// The entry point of a run: banner, configuration, simulations and the join
// of dose pieces.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "run/command_line.h"
#include "run/run_state.h"

namespace orvane {

void Banner(std::ostream& os);

// One line of "MaxAmorf_vs_Dose.dat" after ion b - 1 of a simulation of the
// given dose and number of ions.
std::string AmorphizationLine(uint32_t b, double dose, int ions, const DamageProfile& damage);

class ParallelDriver;

// Runs every simulation of the list, ion by ion on the run's one random
// stream, or with the parallel driver when there is one.  Returns 0, or the
// signal that interrupted the run once the results of the ions done so far
// are written and the complete groups of dose pieces joined.
int RunSimulations(RunState& state, ParallelDriver* parallel = nullptr);

// A run of the parameter file that the command line names, in this
// process, after its options are read: the banner, the configuration, the
// simulations (or the display-only mode) and the join of dose pieces,
// with "summary.json" (the command line given as words).  The results go
// to the output directory given, or, when it is empty, to the one named
// after the parameter file.  Returns 0, or 128 plus the signal that
// interrupted the run; failures end through Fatal.
int RunCommandLine(const CommandLine& line, const std::vector<std::string>& words,
                   const std::string& outputDirectory = "");

// The whole program; returns the exit status.
int RunMain(int argc, char** argv);

}  // namespace orvane
