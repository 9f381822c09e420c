// One binary collision of a moving nucleus with a nucleus at rest, followed
// by integrating both equations of motion in the pair's screened Coulomb
// potential.
#pragma once

#include "physics/ssf.h"

namespace orvane {

inline constexpr double kElementaryCharge = 1.60217733e-19;  // C, and J per eV
inline constexpr double kMassUnit = 1.672623e-27;            // kg per amu of the tables

// The seven values of a scattering-table entry.  The frame has x along the
// incidence direction and the target nucleus at its origin.
struct CollisionOutcome {
  double ProjectileIntersection =
      0.0;  // x where the projectile's asymptote meets its incidence line, A
  double RecoilIntersection = 0.0;  // x where the recoil's asymptote meets the x axis, A
  double RecoilCosine = 0.0;        // recoil direction with the incidence direction
  double ProjectileEnergy = 0.0;    // after the collision, eV
  double RecoilEnergy = 0.0;        // eV
  double EnergyLoss = 0.0;          // electronic loss accumulator, eV; always 0
  double PathLength = 0.0;          // length accumulator, A; always 0
};

// How the time step is chosen.  Fixed: 0.001 A of initial flight throughout.
// Refined: the fixed step, shortened wherever it exceeds a small fraction of
// the separation's time scales r/|v_rel| and sqrt(r/|a_rel|), which only
// happens in close collisions.
enum class StepControl { kFixed, kRefined };

// The fraction of the separation's time scales that bounds a refined step.
inline constexpr double kStepFraction = 0.005;

struct NucleusPair {
  const SSF* screening = nullptr;
  double m1 = 0.0;  // projectile mass, kg
  double m2 = 0.0;  // target mass, kg
  double C = 0.0;   // Z1 Z2 e^2 / (4 pi eps0), J m

  NucleusPair() = default;
  NucleusPair(const SSF& ssf, double z1, double z2, double w1, double w2);
};

// The projectile of the energy (eV) starts 3 A before the target at the
// impact parameter (A); the integration ends once the separation exceeds
// 10 A and grows.
CollisionOutcome Collide(const NucleusPair& pair, double energy, double impact,
                         StepControl control);

}  // namespace orvane
