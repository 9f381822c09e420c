// The non-local stopping of matter whose atoms stand at random about the
// particle: the stopping power averaged over the electron densities of the
// layer's cell, as a function of the speed alone, and the loss along a
// flight integrated with it.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "physics/nonlocal_loss.h"
#include "physics/stp.h"
#include "target/radius_distribution.h"

namespace orvane {

// The stopping power (eV/A) of one projectile element averaged over a
// distribution of radii, with the models and RS0 that the stopping tables
// had when it was made.  Tabulated at the speeds of the tables' columns,
// between which the tables themselves are linear in the speed; beyond the
// tables' speeds the model is averaged directly.
class AveragedStopping {
 public:
  AveragedStopping(STP& stp, double z1, const RadiusDistribution& radii);

  double At(double v) const;

 private:
  double Direct(double v) const;

  std::vector<double> bySpeed_;  // at v = 0.002 i, i = 0..kColumns-1
  double z1_;
  StoppingFunction model_;
  StoppingParameters parameters_;
  RadiusDistribution radii_;
};

// The averaged stopping of every projectile element in every layer met so
// far, made on first use from the stopping tables of the layer in hand.
// Released with the stopping tables at the end of each simulation.
class AveragedStoppingCache {
 public:
  // The table of the element z1 in the matter whose radii are given (the
  // distribution of one layer's crystal, which stays in place while the
  // simulation runs).
  const AveragedStopping& For(STP& stp, double z1, const RadiusDistribution& radii);
  void Release() { layers_.clear(); }

 private:
  struct LayerTables {
    const RadiusDistribution* radii;
    std::array<std::shared_ptr<const AveragedStopping>, STP::kElementSlots> byElement;
  };
  std::vector<LayerTables> layers_;
};

// The non-local loss (eV) of a flight of a projectile of mass m1 (amu) with
// the averaged stopping: the integral of the stopping along the flight, the
// kinetic energy going from the flight's start energy to its end energy
// less the loss so far.  Where the kinetic energy changes by less than 1 %
// along the flight, a midpoint rule with a predicted midpoint energy (two
// look-ups, within 1e-4 of the 30 sub-steps); otherwise the 30 sub-steps of
// a flight through a lattice.
// The flight's start and direction play no part: the averaged stopping is
// the same everywhere.
double AveragedLoss(const AveragedStopping& stopping, double m1, const Flight& flight);

}  // namespace orvane
