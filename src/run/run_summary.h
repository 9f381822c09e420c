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

}  // namespace orvane
