// The cascade engine: one collision step of the first moving particle with
// its simultaneous partners, the energy balance and the recoils it sets in
// motion, and the free flight that ends trajectories.
#pragma once

#include "core/atom.h"
#include "core/axes.h"
#include "core/list.h"
#include "core/particle.h"
#include "core/vector.h"
#include "damage/damage_profile.h"
#include "engine/collision_counters.h"
#include "engine/pair_geometry.h"
#include "physics/pair_potentials.h"
#include "target/crystal.h"
#include "target/edt3d.h"
#include "target/layer.h"

namespace orvane {

class Inel;
class STP;
class AveragedStopping;
struct Flight;

// What the engine reads and feeds outside its own record.
struct TargetLinks {
  const AtomList& Atoms;             // masses and atomic numbers of the species
  const Axes& Frame;                 // depth is the component along its X row
  const PairPotentials& Potentials;  // screening of a collision table made on demand
  Inel& LocalStopping;               // electronic loss in the close encounters
  STP& NonLocalStopping;             // electronic loss to the electron gas along a path
  const List<Vector>& NearbySites;   // sites near the last partner search, absolute positions
  DamageProfile& Damage;             // receives the energy given to every struck atom
};

class Target {
 public:
  explicit Target(const TargetLinks& links) : links_(links) {}

  // Set-up: the cell of the layer in use (the silicon cell for a null
  // lattice parameter) and the limits of the run.  The shortest flight is
  // stored 1.0862e-5 A longer than given.
  void Configure(const Vector& latticeParameter, double interactionRadius, double ghiLimit,
                 double thresholdEnergy, double sd2, double temperature);
  // The cell of a new current layer, with the half that folding uses.
  void SetCell(const Vector& cell, const Vector& halfCell);
  // Moves a lattice-frame position by whole cells towards the origin along
  // the axes of the lattice: the axes of the frame, or those of the
  // rotation of the current crystal while it is turned, so that a fold never
  // moves the particle to another place in the lattice.
  void FoldIntoLattice(Vector& r) const;

  // One collision step of the first moving particle with the Candidates:
  // the number of partners, or -1 when every candidate was excluded or
  // rejected (the caller then makes a free flight).  Recoils are appended
  // to moving; a projectile that stops goes from moving to finished.
  int CollisionStep(List<Particle>& finished, List<Particle>& moving, PairGeometry& pairGeometry,
                    const EDT& densityTable, Layer& layer);

  // The first half of a collision step: each candidate that was not struck
  // in the previous step collides with the Projectile; those whose
  // collision points lie within SD2 of the nearest stay Partners, the
  // others get species 0.  Returns the number of partners, with the
  // projectile's momentum-conserving energy fraction, the partners' summed
  // energy shares, their tabulated electronic loss, the projectile's new
  // direction and the shift to the farthest collision point.
  int Phase1(PairGeometry& pairGeometry, double& fraction, double& sumT, double& sumInelastic,
             Vector& newDir, Vector& shift);
  // One binary collision of after with the partner: the partner gets its
  // share T/E of the energy, its momentum (in units of the projectile's),
  // the forward distance of its collision point in Ghi and its recoil start
  // point; after gets the energy and position of the binary outcome.
  // minGhi keeps the nearest collision point.
  void PairKinematics(PairGeometry& pairGeometry, Particle& after, Particle& partner,
                      double& minGhi, double& sumInelastic, double& sumOther);

  // The electronic loss of the step, eV: the local loss of every partner and
  // the non-local loss along the shift.
  double CollisionStopping(const EDT& densityTable, double e1, const Vector& shift,
                           const Vector& newDir);
  // The scale that makes the partners' energies, the projectile's and the
  // electronic loss add up to the energy brought; sets After's energy (0
  // and the partners scaled down when they would take more).
  double BalanceEnergy(double fraction, double sumT, double electronicLoss);
  // Partners above their displacement energy plus ThresholdEnergy leave
  // their sites as recoils at the end of moving; every partner's energy is
  // deposited in the damage profile.
  void ReleaseRecoils(List<Particle>& moving, double scale, Layer& layer);
  // Moves the projectile to the collision point, turns it, gives it its
  // next flight length and its time of flight, and either keeps it first in
  // moving or brings it to rest in finished.
  void Makecollision(List<Particle>& finished, List<Particle>& moving, const Vector& shift,
                     const Vector& newDir);

  // The free flight of the first moving particle by its Ghi (at least
  // GhiLimit).  A particle that leaves through the surface (after its first
  // collision) or the back of [top, bottom], or comes to rest, goes to
  // finished with its final status.
  void IncrementPosition(List<Particle>& finished, List<Particle>& moving, double top,
                         double bottom, const EDT& densityTable);
  // The electronic loss of the free flight that ended at the particle's
  // position after the shift, eV.
  double FlightStopping(const EDT& densityTable, const Particle& particle, const Vector& shift);

  List<Particle> Candidates;       // filled by the partner search, emptied by the implant loop
  double InteractionRadius = 0.0;  // angstrom
  double GhiLimit = 0.0;           // shortest free flight, angstrom
  double ThresholdEnergy = 0.0;    // a particle at or below it stops, eV
  double SD2 = 0.0;                // forward window of simultaneous partners, angstrom
  double Temperature = 300.0;      // K, for the damage profile
  List<Particle> Partners;         // the candidates after their collision, in their order
  List<Vector> Struck;             // absolute sites struck in the previous collision step
  Particle After;                  // the projectile after the collision
  Particle Projectile;             // the moving particle at the start of the step
  Vector HalfCell{2.7155, 2.7155, 2.7155};
  Vector Cell{5.431, 5.431, 5.431};
  const Crystal* Lattice = nullptr;  // the current crystal, when there is one
  // The stopping of the moving particle averaged over its layer's cell,
  // for a step among atoms drawn at random; null along a lattice, where
  // the loss reads the density along the path.
  const AveragedStopping* AveragedGas = nullptr;
  // Whether the loss along a path through the density sums its sub-steps
  // side by side to a stated accuracy (the parallel run) rather than one
  // after another as they come (the run of one stream).
  bool IntegratedLoss = false;

  CollisionCounters Counters;
  // The electronic loss of the last collision step as the balance scaled
  // it, eV: with the energies of the projectile and of the partners it
  // makes up the energy that the projectile brought.
  double StepElectronicLoss = 0.0;

 private:
  // Drops the candidates whose sites were struck in the previous step.
  void ExcludeStruck(const Vector& toAbsolute);
  // Keeps the partners within the window of the nearest collision point.
  int SelectSimultaneous(const Vector& toAbsolute, double minGhi, double& sumT,
                         double& sumInelastic, Vector& momentum, double& ghiMax);
  double DisplacementEnergy(const Particle& atom, Layer& layer) const;
  // The part of the planned flight that lay beyond the collision point,
  // projected on the new direction.
  double PlannedFlightBeyond(const Vector& shift, const Vector& newDir) const;
  const Atom& Element(int species) const;
  // The loss to the electron gas along the flight through the density, in
  // the field of atoms of atomic number z2 at the nearby sites (0: none).
  double NonlocalLossAlong(const EDT& densityTable, double z1, double m1, const Flight& flight,
                           double z2);

  TargetLinks links_;
};

}  // namespace orvane
