// The state that the cascade engine works on, built by each test for
// itself: elements, frame, stopping, damage profile, a silicon layer and a
// uniform electron gas, with table directories of the test program's own.
#pragma once

#include <string>

#include "core/atom.h"
#include "core/axes.h"
#include "core/list.h"
#include "core/particle.h"
#include "damage/damage_profile.h"
#include "engine/pair_geometry.h"
#include "engine/target.h"
#include "physics/inel.h"
#include "physics/pair_potentials.h"
#include "physics/stp.h"
#include "target/edt3d.h"
#include "target/layer.h"

namespace engine_test {

using namespace orvane;

// Species indices of the world's element list.
inline constexpr int kSilicon = 1;
inline constexpr int kBoron = 2;
inline constexpr int kArsenic = 3;

// The table directory (TABLES3DDIR and EDTDIR) of the test program, with a
// final slash; it holds the shipped isolated-atom densities.
const std::string& TableDirectory();

// What a synthetic collision table gives at every impact parameter: the two
// asymptote intersections and the recoil cosine, and the projectile's and
// recoil's energies after the collision as fractions of the energy.
struct SyntheticCollision {
  double projectileIntersection = 0.0;
  double recoilIntersection = 0.1;
  double recoilCosine = 0.5;
  double projectileShare = 0.8;
  double recoilShare = 0.1;
};

// Writes the synthetic table as a binary table file and loads it into the
// slot of the pair of species.
void LoadSyntheticTable(TBL& tables, int projectile, int target, const SyntheticCollision& c);

// An energy of the tables' grid, where a look-up needs no interpolation
// along the energy.
double GridEnergy(int index);

struct EngineWorld {
  AtomList Atoms;
  Axes Frame;
  PairPotentials Potentials;
  Inel LocalStopping;
  STP NonLocalStopping;
  List<Vector> NearbySites;
  DamageProfile Damage;
  Target Engine;
  PairGeometry Geometry;
  List<Particle> Moving;
  List<Particle> Finished;
  Layer Silicon;    // diamond basis, 15 eV displacement energies
  EDT ElectronGas;  // 0.05 electrons per cubic angstrom everywhere

  // The silicon cell, interaction radius 2.7155 A, shortest flight 0.1 A,
  // threshold 10 eV, SD2 0.25 A, 300 K.
  EngineWorld();

  // A moving ion of the species at the absolute position, in the lattice
  // frame at the same point.
  Particle Ion(int species, double energy, const Vector& abs, const Vector& dir) const;
  // A lattice atom of the species on the site at the lattice position r
  // (no thermal displacement), as the partner search offers it.
  Particle Candidate(int species, const Vector& r, int basisIndex = 0) const;
};

}  // namespace engine_test
