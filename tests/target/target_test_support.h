// Helpers of the target tests: a density directory for the duration of a
// test, and the crystals that the layer builder makes.
#pragma once

#include <cstdlib>
#include <string>

#include "support/test_support.h"
#include "target/crystal.h"

namespace orvane_test {

// Points EDTDIR at a directory (given with or without its final slash) until
// the object goes.
class ScopedDensityDir {
 public:
  explicit ScopedDensityDir(const std::string& directory) {
    if (const char* old = std::getenv("EDTDIR")) {
      hadOld_ = true;
      old_ = old;
    }
    const bool slash = !directory.empty() && directory.back() == '/';
    setenv("EDTDIR", (slash ? directory : directory + "/").c_str(), 1);
  }
  ~ScopedDensityDir() {
    if (hadOld_) {
      setenv("EDTDIR", old_.c_str(), 1);
    } else {
      unsetenv("EDTDIR");
    }
  }
  ScopedDensityDir(const ScopedDensityDir&) = delete;
  ScopedDensityDir& operator=(const ScopedDensityDir&) = delete;

 private:
  bool hadOld_ = false;
  std::string old_;
};

// A crystal built as the layer builder builds it: MakeIt1 per basis atom,
// SetCell, MakeNeighbors per basis atom, Reset.
struct BasisSite {
  orvane::Vector position;
  int type;
  int speciesA;
  int speciesB;
  double fraction;
};

template <std::size_t N>
orvane::Crystal BuildCrystal(const BasisSite (&basis)[N], const orvane::Vector& cell,
                             const orvane::Vector& angles = orvane::Vector(90.0, 90.0, 90.0),
                             double cellRange = 1.5, double interactionRadius = 2.7155) {
  orvane::Crystal crystal(cellRange, interactionRadius, cell, 0.1, 0.5);
  for (const BasisSite& b : basis) {
    crystal.MakeIt1(b.position, b.type, b.speciesA, b.speciesB, b.fraction);
  }
  crystal.SetCell(cell.x, cell.y, cell.z, angles.x, angles.y, angles.z);
  for (const BasisSite& b : basis) crystal.MakeNeighbors(b.position);
  crystal.Reset(cellRange, interactionRadius, cell, 0.1, 0.5);
  return crystal;
}

// Diamond of species 1 (two face-centred atoms at 0 and 1/4) with the cubic
// cell a.
inline orvane::Crystal Diamond(double a = 5.431, int species = 1) {
  const BasisSite basis[] = {{orvane::NullVector, 6, species, species, 1.0},
                             {orvane::Vector(0.25, 0.25, 0.25), 6, species, species, 1.0}};
  return BuildCrystal(basis, orvane::Vector(a, a, a));
}

}  // namespace orvane_test
