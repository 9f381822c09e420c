#include "target/working_sites.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/double_lanes.h"
#include "core/fatal.h"
#include "target/site_draws.h"

namespace orvane {

namespace {

// The offsets of kSiteLanes sites from the point (px, py, pz), inlined
// into each clone of the loops below.
__attribute__((always_inline)) inline void OffsetsFrom(const double* x, const double* y,
                                                       const double* z, double px, double py,
                                                       double pz, Lanes& dx, Lanes& dy,
                                                       Lanes& dz) {
  Load(x, dx);
  Load(y, dy);
  Load(z, dz);
  dx -= px;
  dy -= py;
  dz -= pz;
}

// The reach test of the sites 0 .. n - 1 (padded to a multiple of
// kSiteLanes with sites that are never in reach), kSiteLanes sites at a
// time with each lane rounding as a lone double would: it writes each
// site's squared distance from the point, its distance along the
// direction and its mask (-1 in reach, else 0), lists the sites in reach
// in list order and returns their count.  Only sums, differences,
// products and comparisons: the processor's wider vector unit, where it
// has one, gives the same values.
__attribute__((target_clones("avx2", "default"))) int SitesInReach(
    const double* __restrict x, const double* __restrict y, const double* __restrict z, int n,
    const Vector& from, const Vector& direction, const WorkingSites::Reach& reach,
    double* __restrict distance2, double* __restrict along, int64_t* __restrict reachMask,
    int* __restrict inReachList) {
  const double fx = from.x, fy = from.y, fz = from.z;
  const double ux = direction.x, uy = direction.y, uz = direction.z;
  const double pathRadius2 = reach.PathRadius2, minimumAlong = reach.MinimumAlong;
  const double nearbyRadius2 = reach.NearbyRadius2;
  int count = 0;
  for (int i = 0; i < n; i += kSiteLanes) {
    Lanes dx, dy, dz;
    OffsetsFrom(x + i, y + i, z + i, fx, fy, fz, dx, dy, dz);
    const Lanes d2 = dx * dx + dy * dy + dz * dz;
    const Lanes s = dx * ux + dy * uy + dz * uz;
    const LaneMask inReach =
        ((d2 - s * s < pathRadius2) & (s > minimumAlong)) | (d2 <= nearbyRadius2);
    Store(d2, distance2 + i);
    Store(s, along + i);
    Store(inReach, reachMask + i);
    for (int lane = 0; lane < kSiteLanes; ++lane) {
      inReachList[count] = i + lane;
      count -= static_cast<int>(inReach[lane]);
    }
  }
  return count;
}

// The squared distances of the points from the point, kSiteLanes points at
// a time (with a clone for processors with AVX2; the same values); returns
// the least of them (infinite without any that is a number).
__attribute__((target_clones("avx2", "default"))) double SquaredDistances(
    const double* __restrict x, const double* __restrict y, const double* __restrict z, int n,
    const Vector& point, double* __restrict distance2) {
  const double px = point.x, py = point.y, pz = point.z;
  Lanes least = Lanes{} + HUGE_VAL;
  for (int i = 0; i < n; i += kSiteLanes) {
    Lanes dx, dy, dz;
    OffsetsFrom(x + i, y + i, z + i, px, py, pz, dx, dy, dz);
    const Lanes square = dx * dx + dy * dy + dz * dz;
    Store(square, distance2 + i);
    least = square < least ? square : least;
  }
  double smallest = HUGE_VAL;
  for (int lane = 0; lane < kSiteLanes; ++lane) smallest = std::min(smallest, least[lane]);
  return smallest;
}

// The positions turned by the rotation, as Axes::Transform turns each: the
// rows in locals, so that the loop runs on several sites at once (with a
// clone for processors with AVX2; the same values).
__attribute__((target_clones("avx2", "default"))) void TurnPositions(
    const double* __restrict px, const double* __restrict py, const double* __restrict pz, int n,
    const Axes& rotation, double* __restrict x, double* __restrict y, double* __restrict z) {
  const double xx = rotation.X.x, xy = rotation.X.y, xz = rotation.X.z;
  const double yx = rotation.Y.x, yy = rotation.Y.y, yz = rotation.Y.z;
  const double zx = rotation.Z.x, zy = rotation.Z.y, zz = rotation.Z.z;
  for (int i = 0; i < n; ++i) {
    x[i] = xx * px[i] + xy * py[i] + xz * pz[i];
    y[i] = yx * px[i] + yy * py[i] + yz * pz[i];
    z[i] = zx * px[i] + zy * py[i] + zz * pz[i];
  }
}

}  // namespace

void WorkingSites::Assign(List<Site>& sites) {
  const std::size_t n = static_cast<std::size_t>(sites.NumberOfElements());
  const std::size_t padded = static_cast<std::size_t>(WholeLanes(static_cast<int>(n)));
  count_ = static_cast<int>(n);
  for (auto* v : {&x_, &y_, &z_, &unrotatedX_, &unrotatedY_, &unrotatedZ_, &latticeDistance2_,
                  &latticeAlong_, &closest2_}) {
    v->assign(padded, std::numeric_limits<double>::quiet_NaN());
  }
  for (auto* v : {&fraction_, &atomX_, &atomY_, &atomZ_, &distance2_, &along_}) v->resize(n);
  for (auto* v : {&speciesA_, &speciesB_, &atomSpecies_}) v->resize(n);
  reachMask_.resize(padded);
  source_.resize(n);
  everySite_.resize(n);
  examined_.resize(padded);
  for (std::size_t i = 0; i < n; ++i) everySite_[i] = static_cast<int>(i);
  int i = 0;
  for (Site& site : sites) {
    x_[i] = unrotatedX_[i] = site.R.x;
    y_[i] = unrotatedY_[i] = site.R.y;
    z_[i] = unrotatedZ_[i] = site.R.z;
    fraction_[i] = site.Fraction;
    speciesA_[i] = site.SpeciesA;
    speciesB_[i] = site.SpeciesB;
    source_[i] = &site;
    ++i;
  }
}

int WorkingSites::Closest(const Vector& point) {
  // As the list finds it: the first site at the smallest distance, if below
  // 1e10 A.  The roots round, so sites a little further than the least
  // square's may lie at the same distance: their squares exceed it by a
  // relative 2^-51 at most, and only theirs need a root.
  const double* distance2 = closest2_.data();
  const double least2 = SquaredDistances(x_.data(), y_.data(), z_.data(), Count(), point,
                                         closest2_.data());
  const double least = std::sqrt(least2);
  if (!(least < 1e10)) return -1;
  const double within = least2 * (1.0 + 4e-15);
  int closest = 0;
  while (!(distance2[closest] <= within && std::sqrt(distance2[closest]) == least)) ++closest;
  return closest;
}

void WorkingSites::DrawAtoms(Ranmar& rng, LibcRandom& signs, const ThermalTable& thermal) {
  const int n = Count();
  examinedList_ = everySite_.data();
  examinedCount_ = n;
  for (int first = 0; first < n; first += kChunk) {
    DrawChunk(first, std::min(kChunk, n - first), rng, signs, thermal);
  }
}

void WorkingSites::Measure(const Vector& from, const Vector& direction) {
  const int n = Count();
  // The point and the direction in locals, which no store of the loop can
  // change, so that the loop runs on several atoms at once.
  const double fx = from.x, fy = from.y, fz = from.z;
  const double ux = direction.x, uy = direction.y, uz = direction.z;
  const double* __restrict x = atomX_.data();
  const double* __restrict y = atomY_.data();
  const double* __restrict z = atomZ_.data();
  double* __restrict distance2 = distance2_.data();
  double* __restrict along = along_.data();
  for (int i = 0; i < n; ++i) {
    const double dx = x[i] - fx, dy = y[i] - fy, dz = z[i] - fz;
    distance2[i] = dx * dx + dy * dy + dz * dz;
    along[i] = dx * ux + dy * uy + dz * uz;
  }
}

void WorkingSites::Turn(const Axes* rotation) {
  const int padded = static_cast<int>(x_.size());
  if (rotation == nullptr) {
    std::copy(unrotatedX_.begin(), unrotatedX_.end(), x_.begin());
    std::copy(unrotatedY_.begin(), unrotatedY_.end(), y_.begin());
    std::copy(unrotatedZ_.begin(), unrotatedZ_.end(), z_.begin());
    return;
  }
  TurnPositions(unrotatedX_.data(), unrotatedY_.data(), unrotatedZ_.data(), padded, *rotation,
                x_.data(), y_.data(), z_.data());
}

void WorkingSites::DrawAtomsInReach(const Vector& from, const Vector& direction, const Reach& reach,
                                    uint64_t search, bool everySite, const ThermalTable& thermal) {
  const int n = Count();
  const int inReach = SitesInReach(x_.data(), y_.data(), z_.data(), n, from, direction, reach,
                                   latticeDistance2_.data(), latticeAlong_.data(),
                                   reachMask_.data(), examined_.data());
  examinedList_ = everySite ? everySite_.data() : examined_.data();
  examinedCount_ = everySite ? n : inReach;
  for (int k = 0; k < examinedCount_; ++k) {
    DrawKeyed(examinedList_[k], from, direction, search, thermal);
  }
}

WorkingSites::Miss WorkingSites::FarMiss(double after) const {
  Miss miss;
  for (int i = 0; i < Count(); ++i) {
    if (!Far(i)) continue;
    const double s = latticeAlong_[i], p2 = latticeDistance2_[i] - s * s;
    if (after < s && (miss.Index < 0 || p2 < miss.Impact2)) miss = Miss{i, s, p2};
  }
  return miss;
}

void WorkingSites::DrawKeyed(int i, const Vector& from, const Vector& direction, uint64_t search,
                             const ThermalTable& thermal) {
  const bool mixed = speciesA_[i] != speciesB_[i] && fraction_[i] < 1.0;
  const uint8_t species =
      mixed && !(fraction_[i] > UniformOf(SpeciesWord(search, i))) ? speciesB_[i] : speciesA_[i];
  Require(species <= ThermalTable::kElements, "species>=0 && species<=10", "thermal", 70);
  const Vector shift =
      KeyedThermalShift(thermal, thermal.Amplitude(species), DisplacementWord(search, i));
  atomSpecies_[i] = species;
  atomX_[i] = x_[i] + shift.x;
  atomY_[i] = y_[i] + shift.y;
  atomZ_[i] = z_[i] + shift.z;
  const double dx = atomX_[i] - from.x, dy = atomY_[i] - from.y, dz = atomZ_[i] - from.z;
  distance2_[i] = dx * dx + dy * dy + dz * dz;
  along_[i] = dx * direction.x + dy * direction.y + dz * direction.z;
}

void WorkingSites::DrawChunk(int first, int n, Ranmar& rng, LibcRandom& signs,
                             const ThermalTable& thermal) {
  double uniforms[4 * kChunk];
  int32_t signDraws[3 * kChunk];
  rng.Fill(uniforms, 4 * n);
  signs.Fill(signDraws, 3 * n);
  for (int k = 0; k < n; ++k) {
    const int i = first + k;
    const double* u = uniforms + 4 * k;
    const uint8_t species = fraction_[i] > u[0] ? speciesA_[i] : speciesB_[i];
    Require(species <= ThermalTable::kElements, "species>=0 && species<=10", "thermal", 70);
    const Vector shift =
        ThermalShift(thermal, thermal.Amplitude(species), u + 1, signDraws + 3 * k);
    atomSpecies_[i] = species;
    atomX_[i] = x_[i] + shift.x;
    atomY_[i] = y_[i] + shift.y;
    atomZ_[i] = z_[i] + shift.z;
  }
}

}  // namespace orvane
