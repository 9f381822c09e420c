// The join of dose pieces: after the run, the depth profiles that the
// pieces of each simulation wrote are read back and summed into one profile
// per simulation of the parameter file and implanted species.  A
// simulation without dose splitting is a group of one piece.
#pragma once

#include <string>

#include "run/simulation.h"

namespace orvane {

// The profile that piece s wrote for species Z: "<dir>/.<hstFile>SS_ZZ".
std::string PieceFileName(const std::string& outputDirectory, const std::string& hstFile, int s,
                          int species);

// The joined profile of group g and species Z: "<dir>/<hstFile>GG_ZZ".
std::string JoinedFileName(const std::string& outputDirectory, const std::string& hstFile, int g,
                           int species);

// Joins the pieces of the simulation list, as the run configuration
// expanded it, in list order; hstFile is the "HSTFile[" text without its
// final blank.  The species of a piece are its leading non-zero
// implanted-species slots, the implanted element standing for an empty
// first slot.  A group ends with its piece whose dose-splitting switch is
// 0, or with its tenth piece; a group whose last piece is missing ends the
// process with status 406.  A species whose first-piece profile cannot be
// opened is reported and not joined; a later piece that cannot be opened is
// reported and left out of the sum.
void JoinSplitting(const SimulationList& simulations, const std::string& outputDirectory,
                   const std::string& hstFile);

}  // namespace orvane
