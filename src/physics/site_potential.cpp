#include "physics/site_potential.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/fatal.h"

namespace orvane {

namespace {

constexpr int kPoints = 1000;
constexpr double kSpacing = 0.005;  // in reduced distance
// The screening vanishes from the index kPoints - 2 on; sites beyond one
// more spacing are not even looked up.
constexpr double kRange = (kPoints - 1) * kSpacing;

constexpr double kCoefficients[] = {0.18179, 0.50986, 0.28018, 0.02817};
constexpr double kExponents[] = {3.2, 0.9423, 0.4029, 0.2016};

std::array<double, kPoints> ZblSamples() {
  std::array<double, kPoints> samples{};
  for (int k = 0; k < kPoints; ++k) {
    const double x = kSpacing * k;
    for (int term = 0; term < 4; ++term)
      samples[k] += kCoefficients[term] * std::exp(-kExponents[term] * x);
  }
  return samples;
}

// Z^0.23, the atomic numbers' share of the screening length: worked out
// once for the whole numbers of the elements, since every flight among
// atoms needs it.
double ScreeningPower(double z) {
  constexpr int kElements = 104;
  static const std::array<double, kElements> powers = [] {
    std::array<double, kElements> p{};
    for (int n = 0; n < kElements; ++n) p[n] = std::pow(static_cast<double>(n), 0.23);
    return p;
  }();
  if (z >= 0.0 && z < kElements && z == static_cast<int>(z)) return powers[static_cast<int>(z)];
  return std::pow(z, 0.23);
}

}  // namespace

double ReducedScreening(double x) {
  static const std::array<double, kPoints> samples = ZblSamples();
  const double position = x / kSpacing;
  if (!(position < kPoints - 2)) return 0.0;
  const int k = static_cast<int>(position);
  return samples[k] + (samples[k + 1] - samples[k]) * (position - k);
}

SitePotential::SitePotential(const List<Vector>& sites, double z1, double z2)
    : sites_(sites), strength_(z1 * z2 * 1.60217733e-19 * 9e19) {
  if (strength_ == 0.0) return;
  screeningLength_ = 0.4683766 / (ScreeningPower(z1) + ScreeningPower(z2));
  range2_ = kRange * kRange * screeningLength_ * screeningLength_;
}

double SitePotential::At(const Vector& point) const {
  if (strength_ == 0.0) return 0.0;
  double sum = 0.0;
  for (const Vector& site : sites_) {
    const double r2 = (site - point).Length2();
    if (r2 >= range2_) continue;
    const double r = std::sqrt(r2);
    sum += ReducedScreening(r / screeningLength_) / r;
  }
  return strength_ * sum;
}

void SitePotential::Along(const Vector& start, const Vector& step, int count,
                          double* energies) const {
  Require(count <= kMostPoints, "count <= kMostPoints", "site_potential", __LINE__);
  std::fill(energies, energies + count, 0.0);
  if (strength_ == 0.0 || count <= 0) return;
  std::array<Vector, kMostPoints> points;
  Vector point = start;
  for (int k = 0; k < count; ++k, point += step) points[k] = point;
  const double step2 = step.Length2();
  for (const Vector& site : sites_) {
    int first = 0, last = count - 1;
    if (step2 > 0.0) {
      // The points within the range lie about the foot of the site on the
      // line; one point more on either side covers the rounding.
      const Vector offset = site - start;
      const double along = Dot(offset, step);
      const double across2 = offset.Length2() - along * along / step2;
      if (across2 > range2_ * (1.0 + 1e-9)) continue;
      const double reach = std::sqrt(std::max(range2_ - across2, 0.0) / step2);
      const double foot = along / step2;
      first = static_cast<int>(std::clamp(std::floor(foot - reach) - 1.0, 0.0, double(count)));
      last = static_cast<int>(std::clamp(std::ceil(foot + reach) + 1.0, -1.0, count - 1.0));
    }
    for (int k = first; k <= last; ++k) {
      const double r2 = (site - points[k]).Length2();
      if (r2 >= range2_) continue;
      const double r = std::sqrt(r2);
      energies[k] += ReducedScreening(r / screeningLength_) / r;
    }
  }
  for (int k = 0; k < count; ++k) energies[k] *= strength_;
}

}  // namespace orvane
