// The atoms on a crystal's sites as the parallel run draws them: each
// site's species and thermal displacement come from words of its own, keyed
// by the ion, the ion's partner search and the site, so that a site draws
// the same whichever other sites draw.  Sites that cannot come within reach
// of the path then need not draw at all.
#pragma once

#include <cstdint>

#include "core/thermal.h"
#include "core/vector.h"

namespace orvane {

struct SiteDraws {
  uint64_t Ion = 0;        // the ion's key
  uint64_t Searches = 0;   // partner searches of the ion so far
  double Reach = 0.0;      // the longest thermal displacement, angstrom
  bool EverySite = false;  // draw the sites out of reach as well

  // Starts the next search: the key of its words.
  uint64_t NextSearch();
};

// The words of site i in the search: one for the displacement, one for
// the species of a site that may hold either of two.
uint64_t DisplacementWord(uint64_t search, int site);
uint64_t SpeciesWord(uint64_t search, int site);

// A uniform number in [0, 1) from the word's 53 high bits.
inline double UniformOf(uint64_t word) { return static_cast<double>(word >> 11) * 0x1p-53; }

// The thermal displacement of an atom of amplitude a from one word: along
// each axis an 11-bit deviate of the table's 2048 and a sign bit, as the
// uniform number and the sign of the sequential draws choose them.
Vector KeyedThermalShift(const ThermalTable& table, double a, uint64_t word);

}  // namespace orvane
