#include "engine/pair_geometry.h"

#include <algorithm>
#include <cmath>

namespace orvane {

void PairGeometry::Measure(const Particle& projectile, const Particle& atom) {
  E = projectile.Energy;
  ProjectileSpecies = projectile.Species;
  TargetSpecies = atom.Species;
  TargetR = atom.R;
  ProjectileR = projectile.R;
  ProjectileDir = projectile.Dir;
  d = TargetR - ProjectileR;
  x = Dot(d, ProjectileDir);
  // Rounding can make |d|^2 - x^2 slightly negative for an atom dead ahead.
  b = std::sqrt(std::max(d.Length2() - x * x, 0.0));
  if (x <= 0.0) x = 1e-5;
}

void PairGeometry::Lookup(const AtomList& atoms, const PairPotentials& potentials,
                          CollisionOutcome& out) {
  Tables.Lookup(ProjectileSpecies, TargetSpecies, E, b, atoms, potentials, out);
  InelasticLoss = out.EnergyLoss;
}

}  // namespace orvane
