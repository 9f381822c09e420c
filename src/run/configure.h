// The vocabulary of the parameter file and the completion of the run
// configuration that it describes.
#pragma once

#include <string>

#include "run/run_state.h"

namespace orvane {

// Sets the defaults of every keyword.
void Defaults(RunState& state);

// Registers the keywords, reads the parameter file named by argv[1],
// completes the configuration (elements, implant frame, thermal amplitudes,
// dose pieces), creates the output directory and writes "Parameters.out".
void Configure(RunState& state, int argc, char** argv);

// "D" followed by the parameter file's name without its directories.
std::string OutputDirectoryName(const std::string& parameterFile);

}  // namespace orvane
