#include <algorithm>
#include <cmath>

#include "engine/particle_motion.h"
#include "engine/target.h"

namespace orvane {

int Target::Phase1(PairGeometry& pairGeometry, double& fraction, double& sumT, double& sumInelastic,
                   Vector& newDir, Vector& shift) {
  const Particle& p = Projectile;
  const Vector toAbsolute = p.Abs - p.R;
  ExcludeStruck(toAbsolute);
  if (Candidates.Empty()) return 0;

  double minGhi = 1e10;
  double sumOther = 0.0;
  sumInelastic = 0.0;
  for (const Particle& candidate : Candidates) {
    Particle atom = candidate;
    atom.Org = candidate.R + toAbsolute;  // where the displaced atom sits
    After = p;
    PairKinematics(pairGeometry, After, atom, minGhi, sumInelastic, sumOther);
    atom.Abs = atom.R + toAbsolute;
    Partners.Add(atom);
  }
  Struck.Clear();

  Vector momentum = NullVector;
  double ghiMax = -1e10;
  const int n = SelectSimultaneous(toAbsolute, minGhi, sumT, sumInelastic, momentum, ghiMax);

  // What the partners did not take is the projectile's momentum, in units
  // of its momentum before the step; its square is the energy fraction.
  const Vector remaining = WithoutRoundingNoise(p.Dir - momentum);
  fraction = Dot(remaining, remaining);
  newDir = Normalized(remaining);
  shift = ghiMax * p.Dir;
  return n;
}

namespace {

// The same lattice site, seen through two foldings of the particle into the
// cell: the absolute positions then differ by rounding, never by as much as
// the rounding tolerance, while distinct sites lie angstroms apart.
bool SameSite(const Vector& a, const Vector& b) {
  const Vector d = a - b;
  return Dot(d, d) <= kTolerance * kTolerance;
}

}  // namespace

void Target::ExcludeStruck(const Vector& toAbsolute) {
  if (Struck.Empty()) return;
  Candidates.RemoveIf([&](const Particle& candidate) {
    const Vector site = toAbsolute + candidate.Org;
    for (const Vector& struck : Struck) {
      if (SameSite(struck, site)) {
        ++Counters.SimultaneousCollisions;
        return true;
      }
    }
    return false;
  });
}

int Target::SelectSimultaneous(const Vector& toAbsolute, double minGhi, double& sumT,
                               double& sumInelastic, Vector& momentum, double& ghiMax) {
  double limit = minGhi + SD2;
  limit += std::fabs(limit * kTolerance);
  int n = Candidates.NumberOfElements();
  sumT = 0.0;
  sumInelastic = 0.0;
  auto candidate = Candidates.begin();
  for (Particle& partner : Partners) {
    if (partner.Ghi < limit) {
      Struck.Add(toAbsolute + candidate->Org);
      ghiMax = std::max(ghiMax, partner.Ghi);
      sumT += partner.Energy;
      momentum += partner.Dir;
      sumInelastic += partner.InelasticLoss;
    } else {
      partner.Species = 0;  // takes no further part
      --n;
    }
    ++candidate;
  }
  return n;
}

}  // namespace orvane
