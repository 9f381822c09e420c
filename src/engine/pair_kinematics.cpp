#include <algorithm>
#include <cmath>

#include "engine/particle_motion.h"
#include "engine/target.h"

namespace orvane {

namespace {

// Below this impact parameter the atom lies on the path and recoils along it.
constexpr double kHeadOn = 1e-7;

// A partner drawn from the density was drawn at the distance of its
// collision point, so that the drawn flights are the paths between
// collisions that the density gives: the atom's closest approach lies that
// much further on, by as much as the projectile's asymptotes meet behind it.
void PlaceBehindCollisionPoint(PairGeometry& g, const Vector& dir, double projectileIntersection,
                               Particle& partner) {
  const Vector ahead = -projectileIntersection * dir;
  partner.R += ahead;
  partner.Org += ahead;
  g.d += ahead;
  g.x -= projectileIntersection;
}

}  // namespace

void Target::PairKinematics(PairGeometry& g, Particle& after, Particle& partner, double& minGhi,
                            double& sumInelastic, double& sumOther) {
  g.Measure(after, partner);
  CollisionOutcome out;
  g.Lookup(links_.Atoms, links_.Potentials, out);
  if (partner.Sampled) PlaceBehindCollisionPoint(g, after.Dir, out.ProjectileIntersection, partner);

  const double xt = std::max(out.RecoilIntersection, kTolerance);
  const double cr = std::clamp(out.RecoilCosine, -1.0, 1.0);
  const double sr = std::sqrt(1.0 - cr * cr);
  const double ghi = out.ProjectileIntersection + g.x;
  minGhi = std::min(minGhi, ghi);

  // The recoil leaves at its angle from the flight direction, in the plane
  // of that direction and the atom, away from the path.
  const Vector& dir = after.Dir;
  const Vector recoilDir = g.b > kHeadOn ? (cr - sr * g.x / g.b) * dir + (sr / g.b) * g.d : dir;
  // The recoil's momentum in units of the projectile's momentum.
  const double share = out.RecoilEnergy / g.E;
  const double k = std::sqrt(share * Element(partner.Species).W / Element(after.Species).W);

  partner.Energy = share;
  partner.Ghi = ghi;
  partner.ImpactParameter = g.b;
  partner.R += xt * dir;
  partner.Dir = WithoutRoundingNoise(k * recoilDir);
  partner.InelasticLoss = out.EnergyLoss;

  after.Energy = out.ProjectileEnergy;
  after.R += ghi * dir;
  after.ImpactParameter = g.b;

  sumInelastic += out.EnergyLoss;
  sumOther += out.PathLength;
}

}  // namespace orvane
