// An independent reference for the scattering tables: the classical
// centre-of-mass deflection angle in a screened Coulomb potential, from
// numerical quadrature of the scattering integral.
#pragma once

#include <functional>

namespace orvane_test {

// V(r) = k / r * Phi(r), r in angstrom, V in eV.
struct CentralPotential {
  double k = 0.0;                     // Z1 Z2 e^2 / (4 pi eps0), eV A
  std::function<double(double)> phi;  // screening function of r (A)
  double operator()(double r) const { return k / r * phi(r); }
};

// The ZBL universal screening function of the pair, analytic, with the
// screening length 0.4683766 / (Z1^0.23 + Z2^0.23).
CentralPotential ZblPotential(int z1, int z2);
// The bare Coulomb potential of the pair (Phi = 1).
CentralPotential CoulombPotential(int z1, int z2);

// theta_cm = pi - 2 b Int_r0^inf dr / (r^2 sqrt(1 - V/Ec - b^2/r^2)), with
// the substitution r0 / r = sin(psi) that makes the integrand smooth.
double DeflectionAngle(const CentralPotential& v, double centreOfMassEnergy, double impact);

// E * 4 m1 m2 / (m1 + m2)^2 * sin^2(theta_cm / 2), theta_cm at the
// centre-of-mass energy E m2 / (m1 + m2).
double RecoilEnergy(const CentralPotential& v, double m1, double m2, double energy, double impact);

}  // namespace orvane_test
