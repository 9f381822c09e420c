// The local electronic stopping of a close encounter: the energy lost by
// the exchange of electrons between the two overlapping electron clouds,
// through a friction coefficient that depends on the distance between the
// nuclei.  One table of the coefficient per unordered pair of atomic
// numbers, read from or written to the table directory.
#pragma once

#include <memory>

#include "core/vector.h"

namespace orvane {

// The two straight paths of one collision: the projectile's incoming path,
// from its start to the collision point, and its outgoing path of the same
// length, while the target atom moves from its start to its end and then on
// along its further direction.  Lengths in A, energies in eV.
struct Encounter {
  double z1 = 0.0;
  double m1 = 0.0;  // projectile mass, amu
  Vector projectileStart;
  Vector incoming;           // unit direction of the incoming path
  double startEnergy = 0.0;  // at the start of the incoming path
  double endEnergy = 0.0;    // at its end
  double pathLength = 0.0;   // of each of the two paths
  double z2 = 0.0;
  Vector targetStart;
  Vector targetEnd;
  Vector targetFurther;  // any length; only its direction is used
  Vector outgoing;       // unit direction of the outgoing path
};

class Inel {
 public:
  static constexpr int kPoints = 1000;  // at p_k = 0.001 + 0.015 k A
  // Slots for every atomic number of an element, 1..102.
  static constexpr int kSlots = 103;

  Inel();
  ~Inel();
  // A copy shares the tables made so far (they are never written once
  // made): the stopping of parallel ions reads one set of tables.
  Inel(const Inel&);
  Inel& operator=(const Inel&);

  // The friction coefficient of the pair at the internuclear distance p >= 0
  // (A); the order of the atomic numbers does not matter.  Coefficient times
  // speed (m/s) times path (m), divided by 1.60217733e-19, is a loss in eV.
  double FFF(double p, double z1, double z2);

  // The energy (eV) lost to the electrons along the two paths of the
  // collision, six sub-steps each; 0 when the path length is not positive.
  double LocalLoss(const Encounter& encounter);

 private:
  struct PairTable;

  const PairTable& Table(double zmax, double zmin);
  // FFF from the pair's table.
  static double FromTable(const PairTable& pair, double p, double zmax, double zmin);
  static std::shared_ptr<PairTable> Build(double zmax, double zmin);
  // Computes every entry.
  static void Fill(PairTable& pair, double zmax, double zmin);
  // The coefficient at distance p computed from the pair's screening.
  static double Coefficient(const PairTable& pair, double p, double zmax, double zmin);

  std::shared_ptr<PairTable> tables_[kSlots][kSlots];  // [larger Z][smaller Z]
};

}  // namespace orvane
