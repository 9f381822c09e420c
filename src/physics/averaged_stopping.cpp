#include "physics/averaged_stopping.h"

#include <algorithm>
#include <cmath>

#include "core/fatal.h"
#include "physics/atomic_speed.h"

namespace orvane {

namespace {

constexpr double kColumnSpeedStep = 0.002;  // atomic units, the columns of the stopping tables

}  // namespace

AveragedStopping::AveragedStopping(STP& stp, double z1, const RadiusDistribution& radii)
    : bySpeed_(STP::kColumns, 0.0),
      z1_(z1),
      model_(stp.ModelFunction()),
      parameters_(stp.Parameters()),
      radii_(radii) {
  for (int i = 0; i < STP::kColumns; ++i) {
    const double v = i * kColumnSpeedStep;
    double sum = 0.0;
    for (std::size_t bin = 0; bin < radii_.Share.size(); ++bin) {
      sum += radii_.Share[bin] * stp.Stopping(v, z1, radii_.Radius[bin]);
    }
    bySpeed_[i] = sum;
  }
}

double AveragedStopping::At(double v) const {
  const double column = v / kColumnSpeedStep;
  if (!(column >= 0.0 && column < STP::kColumns - 2)) return Direct(v);
  const int i = static_cast<int>(column);
  const double f = column - i;
  return bySpeed_[i] + f * (bySpeed_[i + 1] - bySpeed_[i]);
}

double AveragedStopping::Direct(double v) const {
  double sum = 0.0;
  for (std::size_t bin = 0; bin < radii_.Share.size(); ++bin) {
    sum += radii_.Share[bin] * model_(v, z1_, radii_.Radius[bin], parameters_);
  }
  return sum;
}

const AveragedStopping& AveragedStoppingCache::For(STP& stp, double z1,
                                                   const RadiusDistribution& radii) {
  auto layer = std::find_if(layers_.begin(), layers_.end(),
                            [&radii](const LayerTables& t) { return t.radii == &radii; });
  if (layer == layers_.end()) layer = layers_.insert(layers_.end(), LayerTables{&radii, {}});
  const int z = static_cast<int>(z1);
  Require(z >= 0 && z < STP::kElementSlots, "Z>=0 && Z<MAXZ", "averaged_stopping", __LINE__);
  std::shared_ptr<const AveragedStopping>& table = layer->byElement[z];
  if (!table) table = std::make_shared<const AveragedStopping>(stp, z1, radii);
  return *table;
}

double AveragedLoss(const AveragedStopping& stopping, double m1, const Flight& flight) {
  if (!(flight.length > 0.0)) return 0.0;
  const double speedFactor = AtomicSpeedFactor(m1);
  const auto stoppingAt = [&](double kinetic) {
    return kinetic > 0.0 ? stopping.At(std::sqrt(kinetic) * speedFactor) : 0.0;
  };
  const double start = flight.startEnergy, end = flight.endEnergy;
  const double predictedLoss = stoppingAt(start) * flight.length;
  if (std::abs(end - start) + predictedLoss < 0.01 * std::min(start, end)) {
    return stoppingAt(0.5 * (start + end) - 0.5 * predictedLoss) * flight.length;
  }
  const double subStep = flight.length / kFlightSubSteps;
  const double gainPerSubStep = (end - start) / kFlightSubSteps;
  double stoppingSum = 0.0;
  for (int k = 0; k < kFlightSubSteps; ++k) {
    stoppingSum += stoppingAt(start + gainPerSubStep * k - subStep * stoppingSum);
  }
  return stoppingSum * subStep;
}

}  // namespace orvane
