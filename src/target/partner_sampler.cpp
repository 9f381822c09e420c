#include "target/partner_sampler.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/fatal.h"

namespace orvane {

namespace {

constexpr double kNoPartner = 4096.0;  // the squared impact parameter of no partner
// How far a flight that crosses a boundary goes beyond it, angstrom.
constexpr double kBeyondBoundary = 1e-4;

// Two unit vectors perpendicular to the unit direction and to each other.
void Perpendiculars(const Vector& direction, Vector& first, Vector& second) {
  const Vector helper = std::abs(direction.x) < 0.5 ? UnitX : Vector(0.0, 1.0, 0.0);
  first = Normalized(Cross(direction, helper));
  second = Cross(direction, first);
}

}  // namespace

PartnerSampler::PartnerSampler(const List<Site>& sites, double atomsPerCubicAngstrom,
                               double interactionRadius, double shortestFlight)
    : interactionRadius_(interactionRadius), shortestFlight_(shortestFlight) {
  double count[kMaxBasis] = {};
  double total = 0.0;
  for (const Site& site : sites) {
    const int b = site.BasisIndex;
    Require(b < kMaxBasis, "BasisIndex<MAXBASIS", "partner_sampler", __LINE__);
    if (count[b] == 0.0) basis_[b].site = site;
    count[b] += 1.0;
    total += 1.0;
    basisCount_ = std::max(basisCount_, b + 1);
  }
  double upTo = 0.0;
  for (int b = 0; b < basisCount_; ++b) {
    upTo += count[b];
    basis_[b].upTo = upTo / total;
  }
  const double crossSection = 3.141592653589793 * interactionRadius * interactionRadius;
  meanFlight_ = 1.0 / (atomsPerCubicAngstrom * crossSection);
  // Below the shortest flight no atom is met; above it the flights are
  // exponential with the mean that the density gives.
  meanFlight_ = std::max(meanFlight_, shortestFlight_);
}

int PartnerSampler::Draw(Particle& particle, List<Particle>& candidates, double& closestImpact2,
                         Ranmar& rng, const Axes& frame, const SampledDepths& depths) const {
  Require(candidates.Empty(), "Candidates.NumberOfElements()==0", "partner_sampler", __LINE__);
  closestImpact2 = kNoPartner;
  const double depth = frame.ComponentX(particle.Abs);
  const double along = frame.ComponentX(particle.Dir);
  const double toCross = FlightToCross(depth, along, depths);
  const bool inTarget = depths.top <= depth && depth <= depths.bottom;
  if (!inTarget || particle.Dir.Length2() == 0.0) {
    // A particle that never crosses flies the shortest flights until the
    // implant loop stops following it.
    particle.Ghi = std::isfinite(toCross) ? std::max(toCross, shortestFlight_) : shortestFlight_;
    return 0;
  }
  const double flight =
      shortestFlight_ - (meanFlight_ - shortestFlight_) * std::log(1.0 - rng.Uniform());
  if (flight > toCross) {
    particle.Ghi = std::max(toCross, shortestFlight_);
    return 0;
  }
  double x, y;
  do {
    x = 2.0 * rng.Uniform() - 1.0;
    y = 2.0 * rng.Uniform() - 1.0;
  } while (x * x + y * y >= 1.0);
  Vector first, second;
  Perpendiculars(particle.Dir, first, second);
  const Site& site = DrawSite(rng);
  Particle partner(site);
  if (site.Fraction < 1.0) {
    partner.Species = site.Fraction > rng.Uniform() ? site.SpeciesA : site.SpeciesB;
  }
  partner.R = particle.R + particle.Dir * flight + (first * x + second * y) * interactionRadius_;
  partner.Org = partner.R;
  partner.Sampled = 1;
  candidates.Add(partner);
  closestImpact2 = (x * x + y * y) * interactionRadius_ * interactionRadius_;
  return 1;
}

double PartnerSampler::FlightToCross(double depth, double along,
                                     const SampledDepths& depths) const {
  double boundary;
  if (depth < depths.top) {
    // Above the surface: back in, or far enough up for the free flight to
    // count the particle as gone.
    boundary = along > 0.0 ? depths.top : -(depths.top + interactionRadius_);
  } else if (depth > depths.bottom) {
    boundary = along < 0.0 ? depths.bottom : depths.bottom + interactionRadius_;
  } else {
    boundary = along > 0.0 ? depths.upper : depths.lower;
  }
  if (along == 0.0) return std::numeric_limits<double>::infinity();
  return std::max(0.0, (boundary - depth) / along) + kBeyondBoundary;
}

const Site& PartnerSampler::DrawSite(Ranmar& rng) const {
  const double u = rng.Uniform();
  for (int b = 0; b + 1 < basisCount_; ++b) {
    if (u < basis_[b].upTo) return basis_[b].site;
  }
  return basis_[basisCount_ - 1].site;
}

}  // namespace orvane
