// The summary that closes each simulation on standard output: one block per
// tracked species, opened by a line that begins with "# Summary".
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/atom.h"
#include "run/simulation.h"
#include "tally/hist.h"
#include "tally/profile_summary.h"

namespace orvane {

// What the block says besides the profile itself.
struct SummaryContext {
  int Simulation = 1;              // 1-based number of the simulation
  int Species = 1;                 // species index
  std::string Symbol;              // the species' element symbol
  int Ions = 0;                    // ions simulated
  double PeakAmorphization = 0.0;  // percent, at the end of the simulation
  double WallSeconds = 0.0;        // wall time of the simulation
  std::string Implant;             // what was implanted, ImplantDescription
  const std::vector<std::string>* Warnings = nullptr;  // what the reader found suspicious
  double Background = 0.0;  // background doping, atoms/cm^3; 0 for none
};

// The implant that a simulation ran: the ion or molecule ("BF2"), the
// energy, the tilt and twist (or the direction given by DIR), the dose and
// the number of ions.
std::string ImplantDescription(const Simulation& simulation, AtomList& atoms);

// The label of the line that gives the wall time and the rate; these two
// figures differ from run to run, every other one is reproducible.
extern const char kWallTimeLabel[];

// Writes the block for a computed histogram (Hist::Compute).
void WriteSummary(std::ostream& out, const Hist& histogram, const SummaryContext& context);

// The figures of a joined profile of dose pieces, from the profile as its
// file holds it: the dose it holds, the moments of its cells (each at its
// centre), its peak, the Pearson IV peak, the junctions with the
// background and the depths of the tail.
ProfileSummary SummarizeJoined(const DepthProfile& profile, double oneIonConcentration,
                               double background);

// What the block of a joined profile says besides the profile itself.
struct JoinedContext {
  int FirstPiece = 1;  // simulation numbers of the pieces
  int LastPiece = 1;
  int Species = 1;
  std::string Symbol;
  std::string FileName;  // the joined file, without its directory
  int Ions = 0;          // ions of all the pieces
  double Dose = 0.0;     // of all the pieces, atoms/cm^2
  std::string Implant;   // the whole dose, ImplantDescription
  const std::vector<std::string>* Warnings = nullptr;
};

// Writes the block of the whole dose of a simulation run in dose pieces.
void WriteJoinedSummary(std::ostream& out, const ProfileSummary& summary,
                        const DepthProfile& profile, const JoinedContext& context);

}  // namespace orvane
