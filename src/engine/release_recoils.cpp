#include "engine/particle_motion.h"
#include "engine/target.h"

namespace orvane {

void Target::ReleaseRecoils(List<Particle>& moving, double scale, Layer& layer) {
  const double e = Projectile.Energy;
  const double weight = Projectile.Weight;
  // Before the projectile moves, After stands where the step began.
  const double depth = links_.Frame.ComponentX(After.Abs);
  for (Particle& atom : Partners) {
    if (atom.Species == 0) continue;
    atom.Energy = scale * atom.Energy * e;
    atom.Dir.Normalize();
    const double ed = DisplacementEnergy(atom, layer);
    if (atom.Energy <= ed + ThresholdEnergy) {
      links_.Damage.AddDamage(depth, atom.Energy * weight, 'I', weight, Temperature);
      continue;
    }
    FoldIntoLattice(atom.R);
    atom.Energy -= ed;
    atom.Ghi = GhiLimit;
    atom.Status = SECONDARY_PROJ;
    atom.Weight = weight;
    atom.Time = Projectile.Time;
    links_.Damage.AddDamage(depth, (ed + atom.Energy) * weight, 'B', weight, Temperature);
    moving.Add(atom);
  }
}

double Target::DisplacementEnergy(const Particle& atom, Layer& layer) const {
  const BasisAtom& site = layer.Basis.GetAt(atom.BasisIndex + 1);
  return atom.Species == atom.SpeciesA ? site.EnergyA : site.EnergyB;
}

}  // namespace orvane
