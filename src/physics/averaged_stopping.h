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
  // Whether the speed lies within the tabulated speeds.
  bool Tabulated(double v) const;
  // The integral of the stopping times the speed from 0 to a tabulated
  // speed v: the energy lost per unit path integrated over the energy is
  // this times 2 / f^2, f the speed per square root of the energy.
  double SpeedMoment(double v) const;

 private:
  double Direct(double v) const;
  double MomentWithin(int i, double t) const;

  std::vector<double> bySpeed_;  // at v = 0.002 i, i = 0..kColumns-1
  std::vector<double> moment_;   // SpeedMoment at the same speeds
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
// less the loss so far.  The kinetic energy is taken to change evenly along
// the flight, from the start energy to the end energy less the whole loss,
// so that the integral follows from the integral of the stopping over the
// energy (the whole loss first estimated from the stopping halfway); the
// flight is halved until that holds well enough for each piece: within
// 1e-4 of the exact integral.  A piece that would stop the
// particle, or whose speeds lie beyond the tables, is summed in the 30
// sub-steps of a flight through a lattice.
double AveragedLoss(const AveragedStopping& stopping, double m1, const Flight& flight);

}  // namespace orvane
