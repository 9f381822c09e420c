#include "physics/inel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <new>
#include <string>

#include "core/fatal.h"
#include "physics/atomic_speed.h"
#include "physics/raw_table_file.h"
#include "physics/ssf.h"
#include "physics/table_directory.h"

namespace orvane {

namespace {

constexpr double kFirstDistance = 0.001;  // A
constexpr double kDistanceStep = 0.015;   // A
constexpr double kBohrScreening = 0.4685025144;
constexpr double kFrictionScale = 7.549079e-15;
constexpr double kReducedStep = 0.02;
constexpr double kReducedLimit = 30.0;
constexpr double kAtomicSpeed = 2187690.0;  // m/s per atomic unit
constexpr double kJoulePerEv = 1.60217733e-19;
constexpr int kSubSteps = 6;

double ScreeningLength(double zmax, double zmin) {
  return 0.4683766 / (std::pow(zmax, 0.23) + std::pow(zmin, 0.23));
}

std::string TablePath(int zmin, int zmax) {
  char name[40];
  std::snprintf(name, sizeof name, "InelLocal_%02d_%02d.dat", zmin, zmax);
  return TableDirectory() + name;
}

// The friction of the ion's speed v (atomic units) at a coefficient F:
// proportional to v when slow, to 1/v when fast, blended smoothly.  The
// blend is worked out once per speed.
class SpeedWeighting {
 public:
  explicit SpeedWeighting(double v) : v_(v) {
    const double w = std::exp(-v * v / 0.49);
    slow_ = 2.0 * w / (w * w + 1.0);
  }
  double operator()(double coefficient) const {
    if (v_ == 0.0) return 0.0;
    return slow_ * coefficient * v_ * kAtomicSpeed +
           (1.0 - slow_) * 0.7 * coefficient / (v_ * kAtomicSpeed);
  }

 private:
  double v_;
  double slow_;
};

}  // namespace

struct Inel::PairTable {
  SSF screening;  // ZBL universal, sampled in A
  double aF;      // the pair's screening length, A
  double coefficient[kPoints];

  // Phi at r (A), interpolated linearly, 0 beyond the table.
  double Phi(double r) const {
    const double position = r / SSF::kSpacing;
    const int k = static_cast<int>(position);
    if (k > SSF::kPoints - 3) return 0.0;
    return screening.Phi[k] + (screening.Phi[k + 1] - screening.Phi[k]) * (position - k);
  }

  // The overlap integral seen from an atom at the reduced distance x0.
  double Overlap(double x0) const {
    if (x0 >= kReducedLimit) return 1e-10;
    double sum = 0.0;
    for (double x = x0; x < kReducedLimit; x += kReducedStep) {
      const double phi = Phi(aF * x);
      sum += kReducedStep * phi * phi / x;
    }
    return sum;
  }
};

Inel::Inel() = default;
Inel::~Inel() = default;
Inel::Inel(const Inel&) = default;
Inel& Inel::operator=(const Inel&) = default;

double Inel::Coefficient(const PairTable& pair, double p, double zmax, double zmin) {
  const double f = 1.0 / (1.0 + std::pow(zmin / zmax, 0.16666666666666666));
  const double x0A = std::pow(zmax, 0.3333333333333333) * f * p / kBohrScreening;
  const double x0B = std::pow(zmin, 0.3333333333333333) * (1.0 - f) * p / kBohrScreening;
  return kFrictionScale * (zmax * zmax * pair.Overlap(x0A) + zmin * zmin * pair.Overlap(x0B));
}

const Inel::PairTable& Inel::Table(double zmax, double zmin) {
  const int large = static_cast<int>(zmax);
  const int small = static_cast<int>(zmin);
  Require(small >= 1 && large < kSlots, "Z>=1 && Z<=102", "inel", __LINE__);
  std::shared_ptr<PairTable>& slot = tables_[large][small];
  if (slot == nullptr) slot = Build(zmax, zmin);
  return *slot;
}

std::shared_ptr<Inel::PairTable> Inel::Build(double zmax, double zmin) {
  std::shared_ptr<PairTable> pair(new (std::nothrow) PairTable);
  if (pair == nullptr) Fatal(302, "# Error: Inel::FFF, No memory\n");
  const int large = static_cast<int>(zmax);
  const int small = static_cast<int>(zmin);
  pair->screening.Init(large, small, kZblUniversal);
  pair->aF = ScreeningLength(zmax, zmin);
  const std::string path = TablePath(small, large);
  if (ReadRawTable(path, pair->coefficient, kPoints)) {
    std::cerr << "# Reading " << path << std::endl;
    return pair;
  }
  std::cerr << "# Generating     local inelastic stopping table, Z1 = " << zmax << ", Z2 = " << zmin
            << " : ";
  Fill(*pair, zmax, zmin);
  std::cerr << kPoints << std::endl;
  if (!WriteRawTable(path, pair->coefficient, kPoints))
    Fatal(301, "# Error: Inel::FFF, Can't write in " + path + "\n");
  return pair;
}

void Inel::Fill(PairTable& pair, double zmax, double zmin) {
  double p = kFirstDistance;
  for (int k = 0; k < kPoints; ++k, p += kDistanceStep)
    pair.coefficient[k] = Coefficient(pair, p, zmax, zmin);
}

double Inel::FFF(double p, double z1, double z2) {
  const double zmax = std::max(z1, z2);
  const double zmin = std::min(z1, z2);
  return FromTable(Table(zmax, zmin), p, zmax, zmin);
}

double Inel::FromTable(const PairTable& pair, double p, double zmax, double zmin) {
  Require(p >= 0.0, "p>=0", "inel", __LINE__);
  const double cell = p / kDistanceStep;
  if (cell >= kPoints - 1) return Coefficient(pair, p, zmax, zmin);
  const int k = static_cast<int>(cell);
  // The weight places entry k at 0.015 k, a thousandth of an A before the
  // distance at which it was computed.
  const double* t = pair.coefficient;
  return t[k] + (t[k + 1] - t[k]) * (cell - k);
}

double Inel::LocalLoss(const Encounter& e) {
  if (!(e.pathLength > 0.0)) return 0.0;
  const double speedFactor = AtomicSpeedFactor(e.m1);
  const double step = e.pathLength / kSubSteps;
  Vector projectile = e.projectileStart;
  Vector target = e.targetStart;
  const Vector targetStep = (e.targetEnd - e.targetStart) * (1.0 / kSubSteps);
  const double zmax = std::max(e.z1, e.z2);
  const double zmin = std::min(e.z1, e.z2);
  const PairTable& pair = Table(zmax, zmin);
  const auto friction = [&](const Vector& a, const Vector& b) {
    return FromTable(pair, Distance(a, b), zmax, zmin);
  };

  double incoming = 0.0;
  for (int i = 0; i < kSubSteps; ++i) {
    const double energy = e.startEnergy + (e.endEnergy - e.startEnergy) * (i * step) / e.pathLength;
    const double v = std::sqrt(energy) * speedFactor;
    incoming += SpeedWeighting(v)(friction(projectile, target));
    target += targetStep;
    projectile += e.incoming * step;
  }

  // After the collision the projectile keeps the speed it came in with.
  const SpeedWeighting atStartSpeed(std::sqrt(e.startEnergy) * speedFactor);
  const Vector targetOnward = Normalized(e.targetFurther) * targetStep.Length();
  double outgoing = 0.0;
  for (int i = 0; i < kSubSteps; ++i) {
    outgoing += atStartSpeed(friction(projectile, target));
    target += targetOnward;
    projectile += e.outgoing * step;
  }
  return step * (incoming + outgoing) * 1e-10 / kJoulePerEv;
}

}  // namespace orvane
