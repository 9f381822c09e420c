// The list of the final ion positions of a species.
#pragma once

#include <string>

#include "tally/tally_3d.h"

namespace orvane {

// Writes "<dir>/Ion.NN.coordinates.dat": one line per tallied ion with its
// position in the implant frame (angstrom), weight and path length, then the
// dose with the real and virtual ions.  A file that cannot be created is
// reported on standard error.
void SaveCoordinates(const Tally3D& tally, int species, double dose,
                     const std::string& outputDirectory);

}  // namespace orvane
