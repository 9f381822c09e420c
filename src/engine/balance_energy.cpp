#include "engine/target.h"

namespace orvane {

double Target::BalanceEnergy(double fraction, double sumT, double electronicLoss) {
  const double e = Projectile.Energy;
  // The partners' shares, the projectile's share and the electronic loss,
  // scaled together to the energy brought.
  double scale = 1.0 / (sumT + fraction + electronicLoss / e);
  const double lost = e * sumT * scale + electronicLoss * scale;
  if (lost <= e) {
    After.Energy = e - lost;
  } else {
    After.Energy = 0.0;
    scale *= e / lost;
  }
  StepElectronicLoss = electronicLoss * scale;
  return scale;
}

}  // namespace orvane
