// Collision partners drawn from the density of amorphous matter instead of
// searched in a lattice: the distance to the next collision drawn from the
// atomic density, the atom placed at random over the disc of the
// interaction radius around the path, its site and species drawn from the
// layer's basis composition.  The partner goes to the same collision step
// as a partner found in a lattice, which places it ahead of the drawn
// collision point by the offset of the projectile's asymptotes.
#pragma once

#include "core/axes.h"
#include "core/list.h"
#include "core/particle.h"
#include "core/ranmar.h"
#include "core/site.h"

namespace orvane {

// The depths between which the sampled matter lies and those of the whole
// target (angstrom).
struct SampledDepths {
  double lower = 0.0, upper = 0.0;  // the layer
  double top = 0.0, bottom = 0.0;   // the target's front and back surfaces
};

class PartnerSampler {
 public:
  static constexpr int kMaxBasis = 30;

  PartnerSampler() = default;
  // The sites of a layer's block of cells (their share per basis atom is
  // the composition), its atoms per cubic angstrom, the interaction radius
  // and the shortest flight between two partners (angstrom).
  PartnerSampler(const List<Site>& sites, double atomsPerCubicAngstrom, double interactionRadius,
                 double shortestFlight);

  // Mean distance between two partners along a path: every atom within the
  // interaction radius of the path is a partner, as in a lattice.
  double MeanFlight() const { return meanFlight_; }

  // One partner ahead of the particle in the candidate list (empty on
  // entry), returning 1 and its squared impact parameter; or, when the
  // next partner would lie beyond the layer, or the particle is outside
  // the target, no partner (0) and the particle's Ghi set to the free
  // flight that takes it across the boundary (or out of the target, as
  // the free flight decides it).  The draws: the flight, then the point in
  // the disc (two numbers a try), then the basis atom, then the species of
  // a mixed site.
  int Draw(Particle& particle, List<Particle>& candidates, double& closestImpact2, Ranmar& rng,
           const Axes& frame, const SampledDepths& depths) const;

 private:
  struct BasisShare {
    double upTo = 1.0;  // cumulative share of the sites up to this basis atom
    Site site;          // a site of the basis atom: index, species and fraction
  };

  // The flight along the direction whose depth component is along that
  // crosses the next boundary ahead (infinite when none lies ahead).
  double FlightToCross(double depth, double along, const SampledDepths& depths) const;
  const Site& DrawSite(Ranmar& rng) const;

  BasisShare basis_[kMaxBasis];
  int basisCount_ = 0;
  double interactionRadius_ = 0.0;
  double shortestFlight_ = 0.0;
  double meanFlight_ = 0.0;
};

}  // namespace orvane
