#include "physics/integrated_loss.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/double_lanes.h"
#include "physics/atomic_speed.h"
#include "physics/site_potential.h"
#include "target/radius_distribution.h"

namespace orvane {

namespace {

const double kRadiusPerCubeRoot = OneElectronRadius(1.0);

// n^(-1/3) within 4 %, from the bits of n.
double CubeRootGuess(double n) {
  uint64_t bits;
  std::memcpy(&bits, &n, sizeof bits);
  bits = 0x553f000000000000u - bits / 3;
  double r;
  std::memcpy(&r, &bits, sizeof r);
  return r;
}

// Three Newton steps toward n^(-1/3), r (4 - n r^3) / 3, each of which
// squares the relative error (times 2).
inline double Refined(double n, double r) {
  for (int step = 0; step < 3; ++step) r *= (4.0 - n * r * r * r) * (1.0 / 3.0);
  return r;
}

// The term beyond the first order of a sub-step of that slope's magnitude,
// speed and share x of the loss: v x^2/8 (1 + x) times the slope, for a
// lone sub-step or four side by side (lanes are not returned by value).
template <class Real>
[[gnu::always_inline]] inline void HigherOrderTerm(const Real& steepness, const Real& v,
                                                   const Real& x, Real& term) {
  term = steepness * v * x * x * (1.0 + x) * 0.125;
}

}  // namespace

// Each sub-step's stopping lies on the line of its table's column through
// the speed that it would have without the loss of the earlier sub-steps;
// that loss D lowers the speed to first order, as sqrt(E - D) =
// sqrt(E) (1 - D/2E).  Terms beyond the first order that could exceed the
// tolerance refuse the sum.  The loops run without branches where the
// sub-steps do not depend on each other, so that the compiler takes them
// several sub-steps at a time (a clone for processors with AVX2 four at a
// time); they give the same values, having only sums, products,
// quotients, roots, comparisons and integer arithmetic in them, and the
// sums over the sub-steps are still added one after another.
__attribute__((target_clones("avx2", "default"))) bool LinearizedLoss(
    const StoppingTable& table, const double* densities, const double* potentials, double m1,
    const Flight& flight, double& loss) {
  constexpr int n = kFlightSubSteps;
  // The arrays padded to whole sets of lanes with sub-steps that have no
  // kinetic energy and so lose nothing.
  constexpr int padded = WholeLanes(n);
  const double subStep = flight.length / n;
  const double speedFactor = AtomicSpeedFactor(m1);
  const double startEnergy = flight.startEnergy;
  const double gainPerSubStep = (flight.endEnergy - flight.startEnergy) / n;
  double kinetic[padded];  // eV, before the loss of the earlier sub-steps
  double speed[padded];
  double perKinetic[padded];  // 1 / 2E
  double radius[padded];
  double lost[padded];  // eV, by the earlier sub-steps
  int unusable = 0;
  for (int k = 0; k < n; ++k) {
    kinetic[k] = startEnergy + gainPerSubStep * k - potentials[k];
    unusable |= (kinetic[k] == 0.0) | !(densities[k] > 0.0);
    speed[k] = std::sqrt(std::max(kinetic[k], 0.0)) * speedFactor;
    perKinetic[k] = 0.5 / kinetic[k];
  }
  if (unusable) return false;
  for (int k = n; k < padded; ++k) {
    kinetic[k] = -1.0;
    speed[k] = perKinetic[k] = radius[k] = lost[k] = 0.0;
  }
  // The guesses one by one (their division of 64-bit whole numbers has no
  // vector form), the Newton steps side by side.
  for (int k = 0; k < n; ++k) radius[k] = CubeRootGuess(densities[k]);
  for (int k = 0; k < n; ++k) radius[k] = kRadiusPerCubeRoot * Refined(densities[k], radius[k]);

  const Lanes zero = {};
  const Lanes one = zero + 1.0;
  // Without kinetic energy even before any loss, a sub-step loses nothing
  // (and keeps all that the earlier ones lost).
  double stopping[padded], slope[padded], room[padded];
  double kept[padded];  // the share of the loss so far that a sub-step adds back
  LaneMask outside = {};
  for (int k = 0; k < padded; k += kSiteLanes) {
    Lanes energy, v, rs, half, s, ds, r;
    Load(kinetic + k, energy);
    Load(speed + k, v);
    Load(radius + k, rs);
    Load(perKinetic + k, half);
    LaneMask covered;
    table.Lines(v, rs, s, ds, r, covered);
    const LaneMask moving = ~(energy < zero);
    outside |= moving & ~covered;
    Store(moving ? s : zero, stopping + k);
    Store(moving ? ds : zero, slope + k);
    Store(moving ? r : zero, room + k);
    Store(moving ? 1.0 - subStep * ds * v * half : one, kept + k);
  }
  if (Any(outside)) return false;
  double sum = 0.0;  // eV
  for (int k = 0; k < n; ++k) {
    lost[k] = sum;
    sum = sum * kept[k] + subStep * stopping[k];
  }
  // A sub-step whose speed falls out of its column takes its stopping from
  // the column it falls into; the chain took it from the line of the column
  // above, which is close enough for the loss of the sub-steps after it.
  // The terms beyond the first order: the speed falls by v (1 - sqrt(1 - x))
  // with x = D/E, which is v x/2 and at most v x^2/8 (1 + x) more for x up
  // to 1/4.
  double share[padded];  // x, 0 where the sub-step has no kinetic energy
  double drop[padded];
  double bound[padded];  // the term of the error beyond the first order, eV/A
  LaneMask tooLarge = {};
  for (int k = 0; k < padded; k += kSiteLanes) {
    Lanes energy, before, half, v, ds, steepness;
    Load(kinetic + k, energy);
    Load(lost + k, before);
    Load(perKinetic + k, half);
    Load(speed + k, v);
    Load(slope + k, ds);
    const LaneMask moving = energy > zero;
    const Lanes x = 2.0 * before * half;
    tooLarge |= moving & ~(x <= 0.25);
    const Lanes moved = moving ? x : zero;
    Magnitude(ds, steepness);
    Store(moved, share + k);
    Store(0.5 * moved * v, drop + k);
    Lanes term;
    HigherOrderTerm(steepness, v, moved, term);
    Store(term, bound + k);
  }
  if (Any(tooLarge)) return false;
  double correction = 0.0;  // eV/A
  double error = 0.0;       // eV/A
  double largest = 0.0;     // of x
  for (int k = 0; k < n; ++k) {
    if (drop[k] >= room[k] && kinetic[k] > 0.0) {
      StoppingLine below;
      if (!table.Line(speed[k] - drop[k], radius[k], below)) return false;
      correction += below.stopping - (stopping[k] - slope[k] * drop[k]);
      const double steepest = std::max(std::abs(slope[k]), std::abs(below.slope));
      HigherOrderTerm(steepest, speed[k], share[k], bound[k]);
    }
    error += bound[k];
    largest = std::max(largest, share[k]);
  }
  loss = sum + subStep * correction;
  error += std::abs(correction) * largest;
  return error * subStep <= kIntegratedLossTolerance * loss;
}

double FastOneElectronRadius(double n) {
  return kRadiusPerCubeRoot * Refined(n, CubeRootGuess(n));
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
