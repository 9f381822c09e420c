#include "engine/flight_density.h"
#include "engine/target.h"
#include "physics/inel.h"
#include "physics/nonlocal_loss.h"

namespace orvane {

double Target::CollisionStopping(const EDT& densityTable, double e1, const Vector& shift,
                                 const Vector& newDir) {
  const Particle& p = Projectile;
  const double length = shift.Length();
  const Vector path = Normalized(shift);
  const Atom& projectile = Element(p.Species);
  Encounter encounter;
  encounter.z1 = projectile.Z;
  encounter.m1 = projectile.W;
  encounter.projectileStart = p.Abs;
  encounter.incoming = path;
  encounter.startEnergy = p.Energy;
  encounter.endEnergy = e1;
  encounter.pathLength = length;
  encounter.outgoing = newDir;
  double loss = 0.0;
  int firstPartnerZ = 0;
  for (const Particle& atom : Partners) {
    if (atom.Species == 0) continue;
    encounter.z2 = Element(atom.Species).Z;
    if (firstPartnerZ == 0) firstPartnerZ = Element(atom.Species).Z;
    encounter.targetStart = atom.Org;
    encounter.targetEnd = atom.Abs;
    encounter.targetFurther = atom.Dir;  // still the momentum
    loss += links_.LocalStopping.LocalLoss(encounter);
  }
  const Flight flight{p.Abs, path, p.Energy, e1, length};
  return loss + NonlocalLoss(links_.NonLocalStopping, FlightDensity{densityTable},
                             links_.NearbySites, projectile.Z, projectile.W, flight, firstPartnerZ);
}

}  // namespace orvane
