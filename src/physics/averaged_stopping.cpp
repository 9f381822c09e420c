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
  // Exactly, for the stopping linear in the speed between the columns.
  moment_.assign(STP::kColumns, 0.0);
  for (int i = 1; i < STP::kColumns; ++i) {
    moment_[i] = moment_[i - 1] + MomentWithin(i - 1, kColumnSpeedStep);
  }
}

// The integral of the stopping times the speed from column i to t beyond it.
double AveragedStopping::MomentWithin(int i, double t) const {
  const double v = i * kColumnSpeedStep;
  const double s = bySpeed_[i];
  const double slope = (bySpeed_[i + 1] - s) / kColumnSpeedStep;
  return t * (s * v + t * ((s + slope * v) / 2.0 + t * slope / 3.0));
}

bool AveragedStopping::Tabulated(double v) const {
  return v >= 0.0 && v / kColumnSpeedStep < STP::kColumns - 2;
}

double AveragedStopping::SpeedMoment(double v) const {
  const int i = static_cast<int>(v / kColumnSpeedStep);
  return moment_[i] + MomentWithin(i, v - i * kColumnSpeedStep);
}

double AveragedStopping::At(double v) const {
  if (!Tabulated(v)) return Direct(v);
  const double column = v / kColumnSpeedStep;
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

namespace {

// The loss in the 30 sub-steps of a flight through a lattice, each at the
// kinetic energy reached at its start, with the averaged stopping in an
// even gas and no atoms about the path.
double SubStepLoss(const AveragedStopping& stopping, double m1, const Flight& flight) {
  const auto anyDensity = [](const Vector&) { return 1.0; };
  const auto averaged = [&stopping](double v, double, double) { return stopping.At(v); };
  const List<Vector> noSites;
  return NonlocalLossWith(anyDensity, averaged, SitePotential(noSites, 0.0, 0.0), 0.0, m1, flight);
}

// The loss of a flight whose kinetic energy would go from start to end over
// the length, the energy taken to change evenly: the stopping integrated
// over the energy, with the end energy found again with the loss it gives.
// False when the particle would stop on the way.
bool EvenLoss(const AveragedStopping& stopping, double speedFactor, double start, double end,
              double length, double& loss) {
  const auto speed = [speedFactor](double energy) { return std::sqrt(energy) * speedFactor; };
  const double perMoment = 2.0 / (speedFactor * speedFactor);
  const double startMoment = stopping.SpeedMoment(speed(start));
  loss = stopping.At(speed(0.5 * (start + end))) * length;
  const double reached = end - loss;
  if (!(reached > 0.0)) return false;
  const double change = reached - start;
  if (std::abs(change) <= 1e-9 * start) {
    loss = stopping.At(speed(0.5 * (start + reached))) * length;
  } else {
    loss = (stopping.SpeedMoment(speed(reached)) - startMoment) * perMoment / change * length;
  }
  return end - loss > 0.0;
}

// Whether taking the loss to accrue evenly over a piece is exact enough: it
// is wrong in the second order of the loss and of the change of the energy,
// against the energy kept.
bool Even(double start, double end, double loss) {
  const double kept = end - loss;
  return loss * (std::abs(end - start) + loss) < 2e-3 * kept * kept;
}

// The loss of the flight, halved until the loss of each piece accrues
// evenly enough (at most 32 pieces); a piece that would stop the particle,
// or whose speeds lie beyond the tables, is summed in sub-steps.
double PieceLoss(const AveragedStopping& stopping, double m1, double start, double end,
                 double length, int halvings) {
  const double speedFactor = AtomicSpeedFactor(m1);
  const double fastest = std::sqrt(std::max(start, end)) * speedFactor;
  double loss = 0.0;
  if (start > 0.0 && end > 0.0 && stopping.Tabulated(fastest) &&
      EvenLoss(stopping, speedFactor, start, end, length, loss) &&
      (Even(start, end, loss) || halvings == 0)) {
    return loss;
  }
  if (halvings == 0 || !stopping.Tabulated(fastest)) {
    Flight flight;
    flight.startEnergy = start;
    flight.endEnergy = end;
    flight.length = length;
    return SubStepLoss(stopping, m1, flight);
  }
  const double middle = 0.5 * (start + end);
  const double first = PieceLoss(stopping, m1, start, middle, 0.5 * length, halvings - 1);
  return first + PieceLoss(stopping, m1, middle - first, end - first, 0.5 * length, halvings - 1);
}

}  // namespace

double AveragedLoss(const AveragedStopping& stopping, double m1, const Flight& flight) {
  if (!(flight.length > 0.0)) return 0.0;
  return PieceLoss(stopping, m1, flight.startEnergy, flight.endEnergy, flight.length, 5);
}

}  // namespace orvane
