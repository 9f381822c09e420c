#include "damage/damage_profile.h"

namespace orvane {

double DamageProfile::PeakAmorphization() const {
  double peak = 0.0;
  for (float cell : Damage.Cells) {
    if (cell > peak) peak = cell;
  }
  return peak / AmorphizationDensity * 100.0;
}

double DamageProfile::ArealDensity() const {
  double sum = 0.0;
  for (float cell : Damage.Cells) sum += cell;
  return sum * Damage.Width;
}

}  // namespace orvane
