#include "core/ranmar.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>

namespace orvane {

void Ranmar::Seed(int32_t seed1, int32_t seed2) {
  if (static_cast<uint32_t>(seed1) > 31328u || static_cast<uint32_t>(seed2) > 30081u) {
    std::cerr << "\nThe first SEED must have a value beetwen 0 and 31328"
              << "\nThe second SEED beetwen 0 and 30081\n";
  }
  int32_t i = (seed1 / 177) % 177 + 2;
  int32_t j = seed1 % 177 + 2;
  int32_t k = (seed2 / 169) % 178 + 1;
  int32_t l = seed2 % 169;
  for (int32_t& entry : u_) {
    int32_t s = 0;
    int32_t t = kTwo24;
    for (int bit = 0; bit < 24; ++bit) {
      l = (53 * l + 1) % 169;
      const int32_t m = (((i * j) % 179) * k) % 179;
      i = j;
      j = k;
      k = m;
      t /= 2;
      if (((l * m) % 64) >= 32) s += t;
    }
    entry = s;
  }
  i97_ = 96;
  j97_ = 32;
  c_ = 362436;
}

void Ranmar::SeedLags(const uint32_t (&lags)[97]) {
  for (int n = 0; n < 97; ++n) u_[n] = static_cast<int32_t>(lags[n] % kTwo24);
  i97_ = 96;
  j97_ = 32;
  c_ = 362436;
}

std::array<int32_t, 97> Ranmar::CarryMultiples() {
  std::array<int32_t, 97> multiples{};
  for (int k = 0; k < 97; ++k) {
    multiples[k] = static_cast<int32_t>((static_cast<int64_t>(k) + 1) * kCd % kCm);
  }
  return multiples;
}

void Ranmar::Fill(double* out, int count) {
  for (int done = 0; done < count;) {
    // A run of steps in which neither lag index wraps and no step reads a
    // value that another step of the run writes: with j ahead of i, step k
    // reads what step k - 33 wrote, so such runs stop at 33 steps.
    int run = std::min({count - done, i97_ + 1, j97_ + 1});
    if (j97_ > i97_) run = std::min(run, 33);
    int32_t* written = u_ + i97_ - (run - 1);
    const int32_t* read = u_ + j97_ - (run - 1);
    int32_t lagged[97];
    for (int k = run - 1; k >= 0; --k) {
      int32_t x = written[k] - read[k];
      x += (x >> 31) & kTwo24;  // 2^24 added to a negative difference
      written[k] = x;
      lagged[run - 1 - k] = x;
    }
    // The carry of step k is c - (k + 1) kCd modulo kCm, from a table of the
    // multiples: no step waits for the one before.
    static const std::array<int32_t, 97> multiples = CarryMultiples();
    for (int k = 0; k < run; ++k) {
      int32_t c = c_ - multiples[k];
      c += (c >> 31) & kCm;
      int32_t r = lagged[k] - c;
      r += (r >> 31) & kTwo24;
      out[done + k] = r * (1.0 / kTwo24);
    }
    c_ -= multiples[run - 1];
    c_ += (c_ >> 31) & kCm;
    i97_ = i97_ - run < 0 ? 96 : i97_ - run;
    j97_ = j97_ - run < 0 ? 96 : j97_ - run;
    done += run;
  }
}

void Ranmar::RandomAzimuth(double& cosine, double& sine) {
  double a, b;
  do {
    a = Uniform();
    b = Uniform();
  } while (a * a + b * b > 1.0);
  const double n = a * a + b * b;
  cosine = (a * a - b * b) / n;
  const double s = 2.0 * a * b / n;
  sine = Uniform() > 0.5 ? -s : s;
}

Axes Ranmar::RandomRotation() {
  double a, b;
  do {
    a = Uniform();
    b = Uniform();
  } while (a * a + b * b > 1.0);
  double n = a * a + b * b;
  const double cphi = (a * a - b * b) / n;
  const double sphi0 = 2.0 * a * b / n;
  const double e = Uniform();
  const double f = Uniform();
  const double g = Uniform();
  const double ctheta = g > 0.5 ? -f : f;
  const double stheta = std::sqrt(1.0 - ctheta * ctheta);
  const double sphi = e > 0.5 ? -sphi0 : sphi0;
  double cpsi, spsi;
  RandomAzimuth(cpsi, spsi);
  Axes r;
  r.X = Vector(ctheta * cphi * cpsi - spsi * sphi, -sphi * cpsi - ctheta * cphi * spsi,
               cphi * stheta);
  r.Y =
      Vector(ctheta * sphi * cpsi + spsi * cphi, cphi * cpsi - ctheta * sphi * spsi, sphi * stheta);
  r.Z = Vector(-stheta * cpsi, stheta * spsi, ctheta);
  return r;
}

void Ranmar::Deflect(Vector& u, int divType, double angle) {
  const double alpha = (divType == 1 || divType == 2) ? angle * 0.707106781 : angle;
  const double c = std::cos(Radians(alpha));
  double cpsi, spsi;
  RandomAzimuth(cpsi, spsi);
  double o = 0.0;
  if (divType == 0) {
    o = Uniform();
  } else if (divType == 1) {
    double gamma, t;
    do {
      gamma = (2.0 * Uniform() - 1.0) * kPi;
      t = Uniform();
    } while (2.0 * t > 1.0 + std::cos(gamma));
    o = std::cos(gamma);
  }
  const double cbeta = o * (1.0 - c) + c;
  const Vector r = (1.0 - std::fabs(u.x) < 1e-6) ? Vector(0.0, 0.0, 1.0) : UnitX;
  const Vector p = Cross(r, u);
  const Vector q = Dot(u, r) * u - r;
  const double sin2 = 1.0 - cbeta * cbeta;
  Vector turned = cbeta * u + std::sqrt(sin2 / p.Length2()) * cpsi * p +
                  std::sqrt(sin2 / q.Length2()) * spsi * q;
  u = turned.Normalize();
}

int Ranmar::SelfTest() {
  static const int32_t kReference[6] = {6533892, 14220222, 7275067, 6172232, 8354498, 10633180};
  Seed(1802, 9373);
  for (int n = 0; n < 20000; ++n) Uniform();
  for (int n = 0; n < 6; ++n) {
    if (Uniform() * kTwo24 != kReference[n]) return -1;
    std::cerr << "TEST " << n << " OK" << std::endl;
  }
  return 0;
}

}  // namespace orvane
