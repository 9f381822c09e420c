#include "engine/target.h"

namespace orvane {

int Target::CollisionStep(List<Particle>& finished, List<Particle>& moving,
                          PairGeometry& pairGeometry, const EDT& densityTable, Layer& layer) {
  Projectile = moving.First();
  double fraction = 0.0;
  double sumT = 0.0;
  double sumInelastic = 0.0;
  Vector newDir = NullVector;
  Vector shift = NullVector;
  const int n = Phase1(pairGeometry, fraction, sumT, sumInelastic, newDir, shift);
  if (n == 0) {
    // Rejected partners must not pair with the next step's candidates.
    Partners.Clear();
    return -1;
  }
  Counters.NSimTotal += n;
  const double e1 = Projectile.Energy * fraction;
  const double electronicLoss = CollisionStopping(densityTable, e1, shift, newDir);
  const double scale = BalanceEnergy(fraction, sumT, electronicLoss);
  ReleaseRecoils(moving, scale, layer);
  Makecollision(finished, moving, shift, newDir);
  Partners.Clear();
  return n;
}

}  // namespace orvane
