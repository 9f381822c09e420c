#include "physics/collision.h"

#include <algorithm>
#include <cmath>

#include "core/vector.h"

namespace orvane {

namespace {

constexpr double kMetresPerAngstrom = 1e-10;
constexpr double kCoulombConstant = 9e9;          // 1 / (4 pi eps0), N m^2 / C^2
constexpr double kStartDistance = 3e-10;          // projectile start before the target, m
constexpr double kEndSeparation = 1e-9;           // the integration ends beyond 10 A
constexpr double kFixedFlight = 1e-13;            // 0.001 A of initial flight, m
constexpr int kLastForceCell = SSF::kPoints - 3;  // the force vanishes beyond 4.99 A

using Nucleus = CollisionIntegration::Nucleus;

// dV/dr (N) at the separation r (m), given 1/r, from the tabulated
// screening function interpolated linearly; 0 beyond the reach of the table.
double PotentialSlope(const NucleusPair& pair, double r, double inverseR) {
  const double q = r * (1.0 / (kMetresPerAngstrom * SSF::kSpacing));
  const int i = static_cast<int>(q);
  if (i > kLastForceCell) return 0.0;
  const SSF& ssf = *pair.screening;
  const double w = q - i;
  const double phi = ssf.Phi[i] + w * (ssf.Phi[i + 1] - ssf.Phi[i]);
  const double dPhi = ssf.dPhi[i] + w * (ssf.dPhi[i + 1] - ssf.dPhi[i]);
  return pair.C * inverseR * (dPhi * (1.0 / kMetresPerAngstrom) - phi * inverseR);
}

// The fixed step, or a fraction of the time in which the separation would
// change by itself at the present relative velocity or acceleration,
// whichever is shorter.  Both tests are done on squares so that the fixed
// step passes unchanged, and cheaply, wherever it is fine enough.
double StepLength(double fixed, double r, const Vector& vRelative, double aRelative) {
  const double fraction2 = kStepFraction * kStepFraction;
  const double fixed2 = fixed * fixed;
  const double v2 = vRelative.Length2();
  const double a = std::fabs(aRelative);
  if (fixed2 * v2 <= fraction2 * r * r && fixed2 * a <= fraction2 * r) return fixed;
  const double byVelocity = kStepFraction * r / std::sqrt(v2);
  const double byAcceleration = kStepFraction * std::sqrt(r / a);
  return std::min({fixed, byVelocity, byAcceleration});
}

// Positions advance with the velocity of the previous step and the present
// acceleration; velocities then advance by the trapezoid of the present and
// previous accelerations over the previous step.
void Advance(Nucleus& n, double step, double previousStep) {
  n.r += n.v * step + n.a * (step * step / 2.0);
  n.v += (n.a + n.aPrevious) * (previousStep / 2.0);
  n.aPrevious = n.a;
}

double KineticEnergy(double mass, const Vector& v) {
  return 0.5 * mass * v.Length2() / kElementaryCharge;
}

// Where the projectile's outgoing line meets its incidence line z = s.
double ProjectileIntersection(const Nucleus& projectile, double s) {
  const double cosine = projectile.v.x / projectile.v.Length();
  const double tangent = std::tan(std::acos(std::clamp(cosine, -1.0, 1.0)));
  if (!(std::fabs(tangent) > 1e-10)) return 0.0;
  const double along = projectile.r.x;
  const double across = std::sqrt(std::max(0.0, projectile.r.Length2() - along * along));
  return (along - (across - s) / tangent) / kMetresPerAngstrom;
}

// Where the recoil's line of flight meets the incidence axis (z = 0).
double RecoilIntersection(const Nucleus& recoil) {
  const double vx = recoil.v.x;
  const double vz = recoil.v.z;
  const double slope = std::fabs(vx) < 1e-10 ? (vz > 0.0 ? 1e30 : -1e30) : vz / vx;
  const double x = std::fabs(slope) > 1e-10 ? recoil.r.x - recoil.r.z / slope : recoil.r.x;
  return x / kMetresPerAngstrom;
}

CollisionOutcome Outcome(const NucleusPair& pair, const Nucleus& projectile, const Nucleus& recoil,
                         double s) {
  CollisionOutcome o;
  o.ProjectileIntersection = ProjectileIntersection(projectile, s);
  o.RecoilIntersection = RecoilIntersection(recoil);
  o.RecoilCosine = recoil.v.x / std::max(recoil.v.Length(), 1e-5);
  o.ProjectileEnergy = KineticEnergy(pair.m1, projectile.v);
  o.RecoilEnergy = KineticEnergy(pair.m2, recoil.v);
  return o;
}

}  // namespace

NucleusPair::NucleusPair(const SSF& ssf, double z1, double z2, double w1, double w2)
    : screening(&ssf),
      m1(w1 * kMassUnit),
      m2(w2 * kMassUnit),
      C(kCoulombConstant * z1 * z2 * kElementaryCharge * kElementaryCharge) {}

CollisionIntegration::CollisionIntegration(const NucleusPair& pair, double energy, double impact,
                                           StepControl control)
    : pair_(&pair),
      control_(control),
      s_(impact * kMetresPerAngstrom),
      inverseM1_(1.0 / pair.m1),
      inverseM2_(1.0 / pair.m2) {
  const double u0 = std::sqrt(2.0 * energy * kElementaryCharge / pair.m1);
  fixed_ = kFixedFlight / u0;
  previousStep_ = fixed_;
  projectile_ = {{-kStartDistance, 0.0, s_}, {u0, 0.0, 0.0}, NullVector, NullVector};
  target_ = {NullVector, NullVector, NullVector, NullVector};
}

bool CollisionIntegration::Step() {
  if (ended_) return false;
  const Vector d = projectile_.r - target_.r;
  const double r = d.Length();
  if (r > rPrevious_ && r > kEndSeparation) {
    ended_ = true;
    return false;
  }
  rPrevious_ = r;
  const double inverseR = 1.0 / r;
  const double slope = PotentialSlope(*pair_, r, inverseR);
  const double force = slope * inverseR;  // |dV/dr| / r: the force is d times this
  projectile_.a = d * (-force * inverseM1_);
  target_.a = d * (force * inverseM2_);
  const double step =
      control_ == StepControl::kFixed
          ? fixed_
          : StepLength(fixed_, r, projectile_.v - target_.v, slope * (inverseM1_ + inverseM2_));
  Advance(projectile_, step, previousStep_);
  Advance(target_, step, previousStep_);
  previousStep_ = step;
  return true;
}

CollisionOutcome CollisionIntegration::Outcome() const {
  return orvane::Outcome(*pair_, projectile_, target_, s_);
}

CollisionOutcome Collide(const NucleusPair& pair, double energy, double impact,
                         StepControl control) {
  CollisionIntegration collision(pair, energy, impact, control);
  while (collision.Step()) {
  }
  return collision.Outcome();
}

// Both integrations take a step in every pass, also once one has ended.
void CollideTogether(CollisionIntegration& first, CollisionIntegration& second) {
  for (;;) {
    const bool firstGoesOn = first.Step();
    const bool secondGoesOn = second.Step();
    if (!(firstGoesOn && secondGoesOn)) break;
  }
  for (;;) {
    const bool firstGoesOn = first.Step();
    const bool secondGoesOn = second.Step();
    if (!(firstGoesOn || secondGoesOn)) break;
  }
}

}  // namespace orvane
