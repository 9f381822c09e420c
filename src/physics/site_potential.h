// The potential energy of a projectile in the screened Coulomb field of the
// target atoms at the nearby sites that the partner search collected.
#pragma once

#include "core/list.h"
#include "core/vector.h"

namespace orvane {

// The ZBL universal screening function at the reduced distance x = r/a,
// read from 1000 points at x = 0.005 k and interpolated linearly; 0 from
// x = 4.99 on.
double ReducedScreening(double x);

class SitePotential {
 public:
  // Atoms of atomic number z2 at every site of the list (absolute positions,
  // A), the projectile of atomic number z1; z2 = 0 means no atoms.
  SitePotential(const List<Vector>& sites, double z1, double z2);

  // eV at the point: the sum of Z1 Z2 e^2 Phi(r/a) / r over the sites.
  double At(const Vector& point) const;
  // At at each of the count (at most kMostPoints) points start + k step,
  // the point stepped on by adding the step k times: the same values, bit
  // for bit, with only the points about each site measured.
  void Along(const Vector& start, const Vector& step, int count, double* energies) const;

  static constexpr int kMostPoints = 32;

 private:
  const List<Vector>& sites_;
  double strength_;  // Z1 Z2 e^2 / (4 pi eps0), eV A; 0 for no atoms
  double screeningLength_ = 0.0;
  double range2_ = 0.0;  // squared distance beyond which the screening is surely 0
};

}  // namespace orvane
