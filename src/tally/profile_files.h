// The depth profile of a species and the profile of its rare-event
// quantity, written from a computed histogram (depths in nm, concentrations
// in atoms/cm^3).
#pragma once

#include <cstdint>
#include <string>

#include "tally/hist.h"

namespace orvane {

// Atoms/cm^3 per unit weight in a depth bin (a bin is 1 % of the deepest
// depth): 100 dose / real ions / 1e-8 / deepest.  A histogram without real
// ions or without depth has no profile, and its scale is 0.
double ConcentrationScale(const Hist& histogram);

// The same for a bin of the rare-event quantity (1 % of the largest one).
double RareEventScale(const Hist& histogram);

// Writes "<dir>/.<name>_NN": a header of the ions so far (k), the real and
// virtual ions and the concentration above the surface, then 100 lines of
// the bin's lower edge, its concentration and the concentration minus and
// plus the statistical error.  Unless fullDose is set the concentrations
// are those of the dose implanted so far, k of the simulation's ions.  Ends
// the process with status 301 when the file cannot be created.
void SaveHisto(const Hist& histogram, int species, const std::string& outputDirectory,
               const std::string& name, bool fullDose, uint32_t k, int ions);

// Writes "<dir>/.D_<name>_NN": the concentration per bin of the rare-event
// quantity (the distance travelled, or the depth again).  Ends the process
// with status 301 when the file cannot be created.
void SaveHistoR(const Hist& histogram, int species, const std::string& outputDirectory,
                const std::string& name);

}  // namespace orvane
