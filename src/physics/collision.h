// One binary collision of a moving nucleus with a nucleus at rest, followed
// by integrating both equations of motion in the pair's screened Coulomb
// potential.
#pragma once

#include "core/vector.h"
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

// One collision integrated step by step.  The projectile of the energy (eV)
// starts 3 A before the target at the impact parameter (A); the
// integration ends once the separation exceeds 10 A and grows.
class CollisionIntegration {
 public:
  CollisionIntegration(const NucleusPair& pair, double energy, double impact, StepControl control);
  // Advances one time step; false, and nothing done, once the integration
  // has ended.
  bool Step();
  CollisionOutcome Outcome() const;

  struct Nucleus {
    Vector r;  // m
    Vector v;  // m/s
    Vector a;  // m/s^2
    Vector aPrevious;
  };

 private:
  const NucleusPair* pair_;
  StepControl control_;
  double fixed_;  // the time of 0.001 A of initial flight
  double s_;      // impact parameter, m
  double inverseM1_;
  double inverseM2_;
  Nucleus projectile_;
  Nucleus target_;
  double rPrevious_ = 1e-8;
  double previousStep_;
  bool ended_ = false;
};

CollisionOutcome Collide(const NucleusPair& pair, double energy, double impact,
                         StepControl control);

// Two independent collisions integrated side by side: each waits for its
// own arithmetic, so together they keep the processor busy.  Each ends
// exactly as it would alone.
void CollideTogether(CollisionIntegration& first, CollisionIntegration& second);

}  // namespace orvane
