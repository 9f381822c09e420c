// How the electron density of a crystal's cell is spread over one-electron
// radii: what a particle meets on average where the atoms stand at random
// about it.
#pragma once

#include <cmath>
#include <vector>

#include "target/edt3d.h"

namespace orvane {

// The one-electron radius rs (bohr) of the electron density n (per A^3):
// 4/3 pi rs^3 = 1/n.
inline double OneElectronRadius(double n) {
  constexpr double kBohrPerAngstrom = 1e-10 / 5.29177249e-11;
  return std::cbrt(0.238732414637843 / n) * kBohrPerAngstrom;
}

// How the one-electron radius rs is spread over the points of a cell's
// density grid.  The bins are 0.02 bohr wide and aligned with the rows of
// the stopping tables: within a bin the tables' interpolation is linear in
// rs, so the stopping at the bin's mean radius is the mean stopping of its
// points.  A point without electrons stops nothing and has no bin.
struct RadiusDistribution {
  std::vector<double> Radius;  // mean one-electron radius of the bin's points, bohr
  std::vector<double> Share;   // the bin's fraction of all the grid's points

  static RadiusDistribution OfGrid(const EDT& density);
  bool Empty() const { return Share.empty(); }
};

}  // namespace orvane
