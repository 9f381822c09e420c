// The vocabulary of the parameter file and the completion of the run
// configuration that it describes.
#pragma once

#include <string>

#include "run/run_state.h"

namespace orvane {

// A value for which the physics is undefined: ENERGY, Dose,
// ImplantationArea or ThresholdEnergy not positive, a negative dose piece
// or number of ions, an energy beyond the collision tables.
constexpr int kUndefinedPhysicsStatus = 606;
// A parameter file refused under "--strict" for what the reader found
// suspicious in it.
constexpr int kStrictRefusalStatus = 609;

// Sets the defaults of every keyword.
void Defaults(RunState& state);

// Registers the keywords, reads the parameter file named by argv[1], says
// what it found suspicious there (and, with state.StrictInput, refuses the
// file for it), refuses values for which the physics is undefined,
// completes the configuration (elements, implant frame, thermal amplitudes,
// dose pieces), creates and locks the output directory (the one named after
// the parameter file, or the one given) and writes "Parameters.out".
void Configure(RunState& state, int argc, char** argv, const std::string& outputDirectory = "");

// "D" followed by the parameter file's name without its directories.
std::string OutputDirectoryName(const std::string& parameterFile);

}  // namespace orvane
