// The limits within which a layer of the parameter file can be turned into a
// crystal, checked before any crystal is built.
#pragma once

#include "target/layer.h"

namespace orvane {

// Ends the process with status 408 and a message naming the layer (1-based)
// and the fault when its cell lengths are not positive, its angles do not
// lie in (0, 180) degrees or form no cell, or a basis atom has a lattice
// type outside 1..6, a species outside the element list or a fraction
// outside 0..1.
void CheckLayer(const Layer& layer, int number, int elements);

}  // namespace orvane
