// The summary that closes each simulation on standard output: one block per
// tracked species, opened by a line that begins with "# Summary".
#pragma once

#include <iosfwd>
#include <string>

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
};

// The label of the line that gives the wall time and the rate; these two
// figures differ from run to run, every other one is reproducible.
extern const char kWallTimeLabel[];

// Writes the block for a computed histogram (Hist::Compute).
void WriteSummary(std::ostream& out, const Hist& histogram, const SummaryContext& context);

}  // namespace orvane
