// The vocabulary of the parameter file and the completion of the run
// configuration that it describes.
#pragma once

#include <string>

#include "run/run_state.h"

namespace orvane {

// A value for which the physics is undefined: ENERGY, Dose,
// ImplantationArea or ThresholdEnergy not positive, a negative dose piece.
constexpr int kUndefinedPhysicsStatus = 606;

// Sets the defaults of every keyword.
void Defaults(RunState& state);

// Registers the keywords, reads the parameter file named by argv[1],
// refuses values for which the physics is undefined, completes the
// configuration (elements, implant frame, thermal amplitudes, dose pieces),
// creates the output directory (the one named after the parameter file, or
// the one given) and writes "Parameters.out".
void Configure(RunState& state, int argc, char** argv, const std::string& outputDirectory = "");

// "D" followed by the parameter file's name without its directories.
std::string OutputDirectoryName(const std::string& parameterFile);

}  // namespace orvane
