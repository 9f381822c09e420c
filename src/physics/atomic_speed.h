// The speed of a moving nucleus in atomic units (bohr velocity,
// 2187690 m/s), from its kinetic energy and mass.
#pragma once

#include <cmath>

namespace orvane {

// v = sqrt(E) * AtomicSpeedFactor(M) for E in eV and M in amu.
inline double AtomicSpeedFactor(double mass) { return std::sqrt(4.0028650643040303e-05 / mass); }

}  // namespace orvane
