// The join of dose pieces: after the run, the depth profiles that the
// pieces of each simulation wrote are read back and summed into one profile
// per simulation of the parameter file and implanted species.  A
// simulation without dose splitting is a group of one piece.
#pragma once

#include <string>
#include <vector>

#include "run/simulation.h"
#include "tally/profile_summary.h"

namespace orvane {

// The profile that piece s wrote for species Z: "<dir>/.<hstFile>SS_ZZ".
std::string PieceFileName(const std::string& outputDirectory, const std::string& hstFile, int s,
                          int species);

// The joined profile of group g and species Z: "<dir>/<hstFile>GG_ZZ".
std::string JoinedFileName(const std::string& outputDirectory, const std::string& hstFile, int g,
                           int species);

// The pieces of one simulation of the parameter file: consecutive
// simulations of the list, numbered from 1.
struct DoseGroup {
  int FirstPiece = 1;
  int Pieces = 1;
  bool Complete = true;  // false when the list ends before its last piece
  int LastPiece() const { return FirstPiece + Pieces - 1; }
};

// The groups of the simulation list, in order: a group ends with its piece
// whose dose-splitting switch is 0, or with its tenth piece.
std::vector<DoseGroup> DoseGroups(const SimulationList& simulations);

// The group (0-based index) that holds the piece (1-based simulation number);
// -1 for a piece beyond the list.
int GroupOfPiece(const std::vector<DoseGroup>& groups, int piece);

// The joined profile of one species of one group, as its file holds it.
struct JoinedProfile {
  DoseGroup Group;
  int GroupNumber = 1;
  int Species = 0;
  std::string FileName;
  DepthProfile Profile;  // the cells of the file, Scale 1
  // One ion of the heaviest weight among the pieces, spread over a cell of
  // the joined profile (atoms/cm^3): lower levels are not resolved.
  double OneIonConcentration = 0.0;
};

// Joins the pieces of the simulation list, as the run configuration
// expanded it, in list order; hstFile is the "HSTFile[" text without its
// final blank.  The species of a piece are its leading non-zero
// implanted-species slots, the implanted element standing for an empty
// first slot.  A group ends with its piece whose dose-splitting switch is
// 0, or with its tenth piece; a group whose last piece is missing ends the
// process with status 406.  A species whose first-piece profile cannot be
// opened is reported and not joined; a later piece that cannot be opened is
// reported and left out of the sum.  The header of a joined file is the
// sum of those of its pieces: the trajectories, real and virtual ions and
// the concentration above the surface of the whole dose.  Returns the
// profiles that were written, in order.
std::vector<JoinedProfile> JoinSplitting(const SimulationList& simulations,
                                         const std::string& outputDirectory,
                                         const std::string& hstFile);

}  // namespace orvane
