// The summary that closes each simulation on standard output: one block per
// tracked species, opened by a line that begins with "# Summary".
#pragma once

#include <iosfwd>
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
