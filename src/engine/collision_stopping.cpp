#include "engine/target.h"
#include "physics/averaged_stopping.h"
#include "physics/inel.h"
#include "physics/nonlocal_loss.h"

namespace orvane {

double Target::CollisionStopping(const EDT& densityTable, double e1, const Vector& shift,
                                 const Vector& newDir) {
  const Particle& p = Projectile;
  const Atom& projectile = Element(p.Species);
  // The projectile runs in along the shift, losing E - e1 on the way, and
  // out along its new direction; each partner moves from where it sat to
  // where its recoil starts, and on along its momentum.
  Encounter encounter;
  encounter.z1 = projectile.Z;
  encounter.m1 = projectile.W;
  encounter.projectileStart = p.Abs;
  encounter.incoming = Normalized(shift);
  encounter.startEnergy = p.Energy;
  encounter.endEnergy = e1;
  encounter.pathLength = shift.Length();
  encounter.outgoing = newDir;
  double loss = 0.0;
  int firstPartnerZ = 0;
  for (const Particle& atom : Partners) {
    if (atom.Species == 0) continue;
    encounter.z2 = Element(atom.Species).Z;
    encounter.targetStart = atom.Org;
    encounter.targetEnd = atom.Abs;
    encounter.targetFurther = atom.Dir;
    loss += links_.LocalStopping.LocalLoss(encounter);
    if (firstPartnerZ == 0) firstPartnerZ = Element(atom.Species).Z;
  }
  const Flight flight{p.Abs, encounter.incoming, p.Energy, e1, encounter.pathLength};
  if (AveragedGas != nullptr) return loss + AveragedLoss(*AveragedGas, projectile.W, flight);
  // The electron gas along the shift, in the field of the first partner's
  // kind of atom at the nearby sites.
  return loss + NonlocalLossAlong(densityTable, projectile.Z, projectile.W, flight, firstPartnerZ);
}

}  // namespace orvane
