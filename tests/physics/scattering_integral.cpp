#include "physics/scattering_integral.h"

#include <cmath>

namespace orvane_test {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCoulombEvAngstrom = 9e9 * 1.60217733e-19 * 1e10;  // e^2 / (4 pi eps0)

// Nodes and weights of the 10-point Gauss-Legendre rule on [-1, 1].
constexpr double kNodes[5] = {0.1488743389816312, 0.4333953941292472, 0.6794095682990244,
                              0.8650633666889845, 0.9739065285171717};
constexpr double kWeights[5] = {0.2955242247147529, 0.2692667193099963, 0.2190863625159820,
                                0.1494513491505806, 0.0666713443086881};

template <class F>
double GaussLegendre(const F& f, double lo, double hi) {
  const double half = 0.5 * (hi - lo);
  const double mid = 0.5 * (hi + lo);
  double sum = 0.0;
  for (int j = 0; j < 5; ++j) {
    sum += kWeights[j] * (f(mid - half * kNodes[j]) + f(mid + half * kNodes[j]));
  }
  return sum * half;
}

// Halves the interval until the rule agrees with its two halves.
template <class F>
double Adaptive(const F& f, double lo, double hi, double whole, double tolerance, int depth) {
  const double mid = 0.5 * (lo + hi);
  const double left = GaussLegendre(f, lo, mid);
  const double right = GaussLegendre(f, mid, hi);
  if (depth == 0 || std::fabs(left + right - whole) < tolerance) return left + right;
  return Adaptive(f, lo, mid, left, tolerance / 2, depth - 1) +
         Adaptive(f, mid, hi, right, tolerance / 2, depth - 1);
}

// 1 - V(r)/Ec - b^2/r^2, negative inside the distance of closest approach.
double Radial(const CentralPotential& v, double ec, double b, double r) {
  return 1.0 - v(r) / ec - (b / r) * (b / r);
}

// The distance of closest approach, by bisection in ln r; it lies below
// b + k/Ec, where the bare Coulomb potential would turn the projectile.
double ClosestApproach(const CentralPotential& v, double ec, double b) {
  double lo = 1e-9;
  double hi = 2.0 * (b + v.k / ec);
  for (int i = 0; i < 200; ++i) {
    const double mid = std::sqrt(lo * hi);
    (Radial(v, ec, b, mid) < 0.0 ? lo : hi) = mid;
  }
  return hi;
}

}  // namespace

CentralPotential ZblPotential(int z1, int z2) {
  const double a = 0.4683766 / (std::pow(z1, 0.23) + std::pow(z2, 0.23));
  return {kCoulombEvAngstrom * z1 * z2, [a](double r) {
            const double x = r / a;
            return 0.18179 * std::exp(-3.2 * x) + 0.50986 * std::exp(-0.9423 * x) +
                   0.28018 * std::exp(-0.4029 * x) + 0.02817 * std::exp(-0.2016 * x);
          }};
}

CentralPotential CoulombPotential(int z1, int z2) {
  return {kCoulombEvAngstrom * z1 * z2, [](double) { return 1.0; }};
}

double DeflectionAngle(const CentralPotential& v, double ec, double b) {
  const double r0 = ClosestApproach(v, ec, b);
  // With 1 = V(r0)/Ec + b^2/r0^2 and 1 - u^2 = cos^2(psi), the radial factor
  // over cos^2(psi) is (V(r0) - V(r0/u)) / (Ec cos^2(psi)) + b^2/r0^2: positive
  // for a repulsive potential and finite at the turning point.
  const double v0 = v(r0);
  const double b2 = (b / r0) * (b / r0);
  auto integrand = [&](double psi) {
    const double c = std::cos(psi);
    return 1.0 / std::sqrt((v0 - v(r0 / std::sin(psi))) / (ec * c * c) + b2);
  };
  const double whole = GaussLegendre(integrand, 0.0, kPi / 2);
  return kPi - 2.0 * (b / r0) * Adaptive(integrand, 0.0, kPi / 2, whole, 1e-10, 24);
}

double RecoilEnergy(const CentralPotential& v, double m1, double m2, double energy, double impact) {
  const double theta = DeflectionAngle(v, energy * m2 / (m1 + m2), impact);
  const double half = std::sin(theta / 2);
  return energy * 4.0 * m1 * m2 / ((m1 + m2) * (m1 + m2)) * half * half;
}

}  // namespace orvane_test
