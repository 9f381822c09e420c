// The run's one uniform random stream: the Marsaglia-Zaman RANMAR generator
// in exact 24-bit integer arithmetic, with the random rotation and the beam
// divergence deflection drawn from it.
#pragma once

#include <array>
#include <cstdint>

#include "core/axes.h"
#include "core/vector.h"

namespace orvane {

class Ranmar {
 public:
  Ranmar() { Seed(1802, 9373); }

  // Fills the lag table from two seeds (0..31328 and 0..30081); seeds out of
  // range are reported as a warning and used as given.
  void Seed(int32_t seed1, int32_t seed2);
  // Fills the lag table with the given numbers (each taken modulo 2^24)
  // instead of from two seeds, the carry as the seeds start it: a state
  // chosen among 2^(97*24), where the two seeds reach fewer than 10^9.
  void SeedLags(const uint32_t (&lags)[97]);
  // Next number in [0, 1), a multiple of 2^-24.
  double Uniform() {
    int32_t x = u_[i97_] - u_[j97_];
    if (x < 0) x += kTwo24;
    u_[i97_] = x;
    i97_ = (i97_ == 0) ? 96 : i97_ - 1;
    j97_ = (j97_ == 0) ? 96 : j97_ - 1;
    c_ -= kCd;
    if (c_ < 0) c_ += kCm;
    int32_t r = x - c_;
    if (r < 0) r += kTwo24;
    return r * (1.0 / kTwo24);
  }
  // The next count numbers of the stream, in order, as Uniform gives them.
  void Fill(double* out, int count);
  // A uniformly random orientation.
  Axes RandomRotation();
  // Turns the unit direction by the beam divergence (degrees) of law divType.
  void Deflect(Vector& direction, int divType, double angle);
  // Checks the published reference values: 0 when all six agree, -1 otherwise.
  int SelfTest();

 private:
  static constexpr int32_t kTwo24 = 16777216;
  static constexpr int32_t kCd = 7654321;
  static constexpr int32_t kCm = 16777213;

  // (k + 1) kCd modulo kCm for k = 0 .. 96: the carries of a run of steps.
  static std::array<int32_t, 97> CarryMultiples();
  // Draws a point in the unit disc and returns the cosine and sine of twice
  // its polar angle, the sine with a random sign.
  void RandomAzimuth(double& cosine, double& sine);

  int32_t i97_ = 96;
  int32_t j97_ = 32;
  int32_t c_ = 362436;
  int32_t u_[97] = {};
};

}  // namespace orvane
