// The masses a collision table was made for.  A table depends on the two
// masses as well as on the atomic numbers, so its header carries them
// (after the grid sizes, which end with a NUL, where readers that do not
// know of the masses see filler), and a pair whose masses differ from those
// of the table under its usual name gets a table of its own whose name
// carries its masses.
#pragma once

#include <string>

namespace orvane {

// Writes the masses (amu) into a 200-byte table header.
void WriteMassTag(char* header, double w1, double w2);

// The mass text of a 200-byte header ("W1=11.009,W2=28.086"), or "" for a
// table made before the headers carried masses.
std::string MassTagOf(const char* header);

// The mass text of the masses, as WriteMassTag writes it.
std::string MassTag(double w1, double w2);

// The name of the table of the pair of the given masses, from the usual
// name of its pair of elements (Zel0514.dat): the usual name when no table
// of that name is in the table directory, or when it was made for these
// masses (each within 0.1 %) or carries none; otherwise the usual name with
// the masses inserted before the extension (Zel0514_10.013_28.086.dat),
// which is said on standard output.  The table under the usual name is
// kept.
std::string TableNameForMasses(const std::string& usualName, double w1, double w2);

}  // namespace orvane
