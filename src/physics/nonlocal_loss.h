// The non-local electronic loss along a straight flight through the
// electron density of the target, in 30 sub-steps.
#pragma once

#include <cmath>

#include "core/fatal.h"
#include "core/list.h"
#include "core/vector.h"
#include "physics/atomic_speed.h"
#include "physics/site_potential.h"
#include "physics/stp.h"
#include "target/edt3d.h"
#include "target/radius_distribution.h"

namespace orvane {

// A straight flight of the length (A) from the start along the unit
// direction, during which the kinetic energy would go from the start energy
// to the end energy (eV) if there were no electronic loss.
struct Flight {
  Vector start;
  Vector direction;
  double startEnergy = 0.0;
  double endEnergy = 0.0;
  double length = 0.0;
};

inline constexpr int kFlightSubSteps = 30;

// The densities at the count points start + k step, the point stepped on
// by adding the step k times: from any look-up densityAt(point), or from
// the 3-D table, which fetches the cells of all the points together.
template <class DensityAt>
void DensitiesAlong(const DensityAt& densityAt, Vector point, const Vector& step, int count,
                    double* densities) {
  for (int k = 0; k < count; ++k, point += step) densities[k] = densityAt(point);
}

inline void DensitiesAlong(const EDT& table, const Vector& start, const Vector& step, int count,
                           double* densities) {
  table.DensitiesAlong(start.x, start.y, start.z, step.x, step.y, step.z, count, densities);
}

// The loss (eV) of the flight's 30 sub-steps, one after another, with any
// stopping power stoppingAt(v, Z1, rs) (eV/A), the electron densities (per
// A^3, never 0) and the potential energies (eV) at their start points.
// Sub-step k starts at the distance x = k L/30; its kinetic energy is the
// energy that the flight reaches there, Ea + (Eb - Ea) x/L, less the
// electronic loss of the earlier sub-steps and the potential energy among
// the nearby atoms.  A sub-step without kinetic energy loses nothing (its
// density goes unused).
template <class StoppingAt>
double ChainedLoss(const double* densities, const double* potentials, const StoppingAt& stoppingAt,
                   double z1, double m1, const Flight& flight) {
  const double subStep = flight.length / kFlightSubSteps;
  const double speedFactor = AtomicSpeedFactor(m1);
  const double gainPerSubStep = (flight.endEnergy - flight.startEnergy) / kFlightSubSteps;
  double stoppingSum = 0.0;  // eV/A over the sub-steps so far
  for (int k = 0; k < kFlightSubSteps; ++k) {
    const double kinetic =
        flight.startEnergy + gainPerSubStep * k - subStep * stoppingSum - potentials[k];
    if (kinetic < 0.0) continue;
    const double density = densities[k];
    Require(density != 0.0, "Value != 0.0", "edt3d", __LINE__);
    stoppingSum += stoppingAt(std::sqrt(kinetic) * speedFactor, z1, OneElectronRadius(density));
  }
  return stoppingSum * subStep;
}

// The loss (eV) with any stopping power stoppingAt(v, Z1, rs) (eV/A) and the
// densities of any look-up or table (electrons per A^3, never 0).
template <class DensityAt, class StoppingAt>
double NonlocalLossWith(const DensityAt& densityAt, const StoppingAt& stoppingAt,
                        const SitePotential& potential, double z1, double m1,
                        const Flight& flight) {
  if (!(flight.length > 0.0)) return 0.0;
  const Vector step = flight.direction * (flight.length / kFlightSubSteps);
  // The densities of all the sub-steps first: their look-ups do not wait
  // for one another, so the memory serves them together.
  double densities[kFlightSubSteps];
  DensitiesAlong(densityAt, flight.start, step, kFlightSubSteps, densities);
  double potentials[kFlightSubSteps];
  Vector point = flight.start;
  for (int k = 0; k < kFlightSubSteps; ++k, point += step) potentials[k] = potential.At(point);
  return ChainedLoss(densities, potentials, stoppingAt, z1, m1, flight);
}

// The loss (eV) of a projectile (Z1, M1 amu) with the stopping of the
// tables; z2 is the atomic number of the atoms at the nearby sites (the
// first partner of a collision), 0 for a free flight, which feels no
// potential energy.
template <class DensityAt>
double NonlocalLoss(STP& stp, const DensityAt& densityAt, const List<Vector>& nearbySites,
                    double z1, double m1, const Flight& flight, double z2) {
  const auto stopping = [&stp](double v, double z, double rs) { return stp.Stopping(v, z, rs); };
  return NonlocalLossWith(densityAt, stopping, SitePotential(nearbySites, z1, z2), z1, m1, flight);
}

// The same through the crystal's 3-D electron density table.
inline double NonlocalLoss(STP& stp, const EDT& density, const List<Vector>& nearbySites, double z1,
                           double m1, const Flight& flight, double z2) {
  return NonlocalLoss<EDT>(stp, density, nearbySites, z1, m1, flight, z2);
}

}  // namespace orvane
