#include "core/ranmar.h"

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

void Ranmar::Fill(double* out, int count) {
  int32_t i = i97_, j = j97_, c = c_;
  for (int n = 0; n < count; ++n) out[n] = Step(i, j, c);
  i97_ = i;
  j97_ = j;
  c_ = c;
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
