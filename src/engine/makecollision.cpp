#include <algorithm>
#include <cmath>

#include "engine/final_status.h"
#include "engine/particle_motion.h"
#include "engine/target.h"

namespace orvane {

void Target::Makecollision(List<Particle>& finished, List<Particle>& moving, const Vector& shift,
                           const Vector& newDir) {
  const Particle& p = Projectile;
  const double extra = PlannedFlightBeyond(shift, newDir);
  After.Dir = newDir;
  After.R = p.R + shift;
  After.Abs = p.Abs + shift;
  FoldIntoLattice(After.R);
  // The next free flight takes the projectile past every atom it has just
  // struck.
  double ahead = -2.0;
  for (const Particle& struck : Partners) {
    if (struck.Species != 0) ahead = std::max(ahead, Dot(struck.Org - After.Abs, newDir));
  }
  After.Ghi = std::max(GhiLimit, ahead) + extra;
  After.Flights = 0;
  After.Collisions += 1;
  After.PathLength += shift.Length();

  if (std::isnan(p.Energy)) Projectile.Energy = After.Energy = 0.0;
  After.Time += FlightTime(shift.Length(), Projectile.Energy, Element(p.Species).W);

  if (After.Energy > ThresholdEnergy) {
    moving.First() = After;
    return;
  }
  EndTrajectory(After, IMPLANTED_ION, INTERSTITIAL,
                "# Error: Target::Makecollision, Wrong status ");
  finished.Add(After);
  moving.RemoveAt(1);
}

double Target::PlannedFlightBeyond(const Vector& shift, const Vector& newDir) const {
  const Particle& p = Projectile;
  const double reached = Dot(shift, p.Dir);
  if (!(reached < p.Ghi)) return 0.0;
  return std::max(Dot(newDir, p.Dir) * (p.Ghi - reached), 0.0);
}

}  // namespace orvane
