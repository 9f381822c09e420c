// The working record of one binary collision: where the atom lies with
// respect to the projectile's path, and the table store that gives the
// collision's outcome.
#pragma once

#include "core/atom.h"
#include "core/particle.h"
#include "core/vector.h"
#include "physics/collision.h"
#include "physics/pair_potentials.h"
#include "physics/table3d.h"

namespace orvane {

struct PairGeometry {
  double E = 0.0;  // projectile energy, eV
  double x = 0.0;  // forward distance of the closest approach, angstrom
  double b = 0.0;  // impact parameter, angstrom
  Vector TargetR = NullVector;
  Vector ProjectileR = NullVector;
  Vector ProjectileDir = UnitX;
  Vector d = NullVector;  // atom R - projectile R
  int ProjectileSpecies = 0;
  int TargetSpecies = 0;
  double InelasticLoss = 0.0;  // the table's electronic loss, eV
  TBL Tables;

  // Records the projectile and the atom and measures the atom's forward
  // distance and impact parameter.  An atom at or behind the projectile is
  // taken as met 1e-5 A ahead; the impact parameter keeps its true value.
  void Measure(const Particle& projectile, const Particle& atom);

  // The outcome of the measured collision from the pair's table (status 407
  // outside the tabulated energies and impact parameters).
  void Lookup(const AtomList& atoms, const PairPotentials& potentials, CollisionOutcome& out);
};

}  // namespace orvane
