// A lattice site of a crystal and the atom on it.
#pragma once

#include <cstdint>
#include <iosfwd>

#include "core/axes.h"
#include "core/vector.h"

namespace orvane {

struct Site {
  uint8_t Species = 0;     // species index of the atom now on the site
  uint8_t BasisIndex = 0;  // basis atom of the layer that generated the site
  Vector R = NullVector;   // position in the lattice frame, angstrom
  uint8_t SpeciesA = 0;
  uint8_t SpeciesB = 0;
  double Fraction = 1.0;  // probability that the site holds SpeciesA

  Site() = default;
  Site(uint8_t species, uint8_t basisIndex, const Vector& r, uint8_t speciesB, double fraction)
      : Species(species),
        BasisIndex(basisIndex),
        R(r),
        SpeciesA(species),
        SpeciesB(speciesB),
        Fraction(fraction) {}

  // " x y z" of R in the implant frame, and a line end.
  void WriteInFrame(std::ostream& os, const Axes& frame) const;
};

// Same species and exactly the same position.
bool operator==(const Site& a, const Site& b);
// "[species]\tR   ( x, y, z )" and a line end.
std::ostream& operator<<(std::ostream& os, const Site& site);

}  // namespace orvane
