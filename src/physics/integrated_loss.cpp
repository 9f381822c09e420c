#include "physics/integrated_loss.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "physics/atomic_speed.h"
#include "physics/site_potential.h"
#include "target/radius_distribution.h"

namespace orvane {

namespace {

const double kRadiusPerCubeRoot = OneElectronRadius(1.0);

}  // namespace

// Each sub-step's stopping lies on the line of its table's column through
// the speed that it would have without the loss of the earlier sub-steps;
// that loss D lowers the speed to first order, as sqrt(E - D) =
// sqrt(E) (1 - D/2E).  Terms beyond the first order that could exceed the
// tolerance refuse the sum.  A clone for processors with AVX2 runs the
// sub-steps' loops four at a time and gives the same values: there are
// only sums, products, quotients, roots, comparisons and integer
// arithmetic in them.
__attribute__((target_clones("avx2", "default"))) bool LinearizedLoss(
    const StoppingTable& table, const double* densities, const double* potentials, double m1,
    const Flight& flight, double& loss) {
  const double subStep = flight.length / kFlightSubSteps;
  const double speedFactor = AtomicSpeedFactor(m1);
  const double gainPerSubStep = (flight.endEnergy - flight.startEnergy) / kFlightSubSteps;
  double kinetic[kFlightSubSteps];  // eV, before the loss of the earlier sub-steps
  double speed[kFlightSubSteps];
  double perKinetic[kFlightSubSteps];  // 1 / 2E
  double radius[kFlightSubSteps];
  // The speeds and radii first: none waits on another (nor on a branch).
  bool usable = true;
  for (int k = 0; k < kFlightSubSteps; ++k) {
    kinetic[k] = flight.startEnergy + gainPerSubStep * k - potentials[k];
    usable &= (kinetic[k] != 0.0) & (densities[k] > 0.0);
    const double moving = std::max(kinetic[k], 0.0);
    speed[k] = std::sqrt(moving) * speedFactor;
    perKinetic[k] = 0.5 / kinetic[k];
    radius[k] = FastOneElectronRadius(densities[k]);
  }
  if (!usable) return false;
  StoppingLine lines[kFlightSubSteps];
  double kept[kFlightSubSteps];  // the share of the loss so far that a sub-step adds back
  for (int k = 0; k < kFlightSubSteps; ++k) {
    lines[k] = StoppingLine();
    kept[k] = 1.0;
    // Without kinetic energy even before any loss, the sub-step loses nothing.
    if (kinetic[k] < 0.0) continue;
    if (!table.Line(speed[k], radius[k], lines[k])) return false;
    kept[k] = 1.0 - subStep * lines[k].slope * speed[k] * perKinetic[k];
  }
  double lost[kFlightSubSteps];
  double sum = 0.0;  // eV
  for (int k = 0; k < kFlightSubSteps; ++k) {
    lost[k] = sum;
    sum = sum * kept[k] + subStep * lines[k].stopping;
  }
  // A sub-step whose speed falls out of its column takes its stopping from
  // the column it falls into; the chain took it from the line of the column
  // above, which is close enough for the loss of the sub-steps after it.
  // The terms beyond the first order: the speed falls by v (1 - sqrt(1 - x))
  // with x = D/E, which is v x/2 and at most v x^2/8 (1 + x) more for x up
  // to 1/4.
  double correction = 0.0;  // eV/A
  double error = 0.0;       // eV/A
  double largest = 0.0;     // of x
  for (int k = 0; k < kFlightSubSteps; ++k) {
    if (!(kinetic[k] > 0.0)) continue;
    const double x = 2.0 * lost[k] * perKinetic[k];
    if (!(x <= 0.25)) return false;
    const double drop = 0.5 * x * speed[k];
    double slope = std::abs(lines[k].slope);
    if (drop >= lines[k].room) {
      StoppingLine below;
      if (!table.Line(speed[k] - drop, radius[k], below)) return false;
      correction += below.stopping - (lines[k].stopping - lines[k].slope * drop);
      slope = std::max(slope, std::abs(below.slope));
    }
    error += slope * speed[k] * x * x * (1.0 + x) * 0.125;
    largest = std::max(largest, x);
  }
  loss = sum + subStep * correction;
  error += std::abs(correction) * largest;
  return error * subStep <= kIntegratedLossTolerance * loss;
}

double FastOneElectronRadius(double n) {
  // n^(-1/3): a guess within 4 % from the bits of n, then three Newton
  // steps r (4 - n r^3) / 3, each of which squares the relative error
  // (times 2).
  uint64_t bits;
  std::memcpy(&bits, &n, sizeof bits);
  bits = 0x553f000000000000u - bits / 3;
  double r;
  std::memcpy(&r, &bits, sizeof r);
  for (int step = 0; step < 3; ++step) r *= (4.0 - n * r * r * r) * (1.0 / 3.0);
  return kRadiusPerCubeRoot * r;
}

double IntegratedNonlocalLoss(STP& stp, const EDT& density, const List<Vector>& nearbySites,
                              double z1, double m1, const Flight& flight, double z2) {
  if (!(flight.length > 0.0)) return 0.0;
  const Vector step = flight.direction * (flight.length / kFlightSubSteps);
  double densities[kFlightSubSteps];
  DensitiesAlong(density, flight.start, step, kFlightSubSteps, densities);
  double potentials[kFlightSubSteps];
  SitePotential(nearbySites, z1, z2).Along(flight.start, step, kFlightSubSteps, potentials);
  double loss = 0.0;
  if (LinearizedLoss(stp.TableOf(z1), densities, potentials, m1, flight, loss)) return loss;
  const auto stopping = [&stp](double v, double z, double rs) { return stp.Stopping(v, z, rs); };
  return ChainedLoss(densities, potentials, stopping, z1, m1, flight);
}

}  // namespace orvane
