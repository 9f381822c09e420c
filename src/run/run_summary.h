// The summary that closes each simulation on standard output: one block per
// tracked species, opened by a line that begins with "# Summary".
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/atom.h"
#include "run/simulation.h"
#include "tally/hist.h"
#include "tally/profile_summary.h"

namespace orvane {

// What the block says besides the profile itself.
struct SummaryContext {
  int Simulation = 1;                                  // 1-based number of the simulation
  int Species = 1;                                     // species index
  std::string Symbol;                                  // the species' element symbol
  int Ions = 0;                                        // ions simulated
  double PeakAmorphization = 0.0;                      // percent, at the end of the simulation
  double WallSeconds = 0.0;                            // wall time of the simulation
  std::string Implant;                                 // what was implanted, ImplantDescription
  const std::vector<std::string>* Warnings = nullptr;  // what the reader found suspicious
  double Background = 0.0;                             // background doping, atoms/cm^3; 0 for none
};

// One figure of the block: a number with its unit, or, when the ions
// simulated cannot give it, no number and the reason (with the estimate
// that the line still shows, if any).
struct SummaryFigure {
  std::string Key;              // its name in "summary.json"
  std::optional<double> Value;  // in the unit of the block
  std::string Unit;             // "" for a pure number
  std::string Reason;           // why there is no value
  std::optional<double> Estimate;
};

// One line of the block after its heading: the label, the text after "= "
// and the figures that the text gives.
struct SummaryLine {
  std::string Label;
  std::string Text;
  std::vector<SummaryFigure> Figures;
};

// Every line of the block for a computed histogram (Hist::Compute): the
// block on standard output and "summary.json" are both written from it.
std::vector<SummaryLine> GatherSummary(const Hist& histogram, const SummaryContext& context);

// The ion's formula: each element once, in the order of the list, with its
// count when above one ("BF2").
std::string IonFormula(const Simulation& simulation, AtomList& atoms);

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

// Every line of the block of a joined profile after its heading.
std::vector<SummaryLine> GatherJoinedSummary(const ProfileSummary& summary,
                                             const DepthProfile& profile,
                                             const JoinedContext& context);

// Writes the block of the whole dose of a simulation run in dose pieces.
void WriteJoinedSummary(std::ostream& out, const ProfileSummary& summary,
                        const DepthProfile& profile, const JoinedContext& context);

}  // namespace orvane
