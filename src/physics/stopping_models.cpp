#include "physics/stopping_models.h"

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {

constexpr double kFermiSpeedTimesRs = 1.919158292678;  // vF = this / rs, atomic units
constexpr double kTwoOverThreePi = 0.21220659078919377;
constexpr double kEuler = 2.718281828459045;
constexpr double kStoppingUnit = 51.42;  // eV/A per atomic unit of stopping

double FermiSpeed(double rs) { return kFermiSpeedTimesRs / rs; }

// The friction coefficient of a slow proton in the electron gas.
double LowVelocityFriction(double rs) {
  const double vF = FermiSpeed(rs);
  const double c = 0.1658591099016 * rs;
  const double wide = 1.0 + 2.0 * c / 3.0;
  const double narrow = 1.0 - c / 3.0;
  const double bracket = std::log(wide / c) - narrow / wide;
  const double correction = 1.644 * std::exp(-(rs - 2.197) * (rs - 2.197) / 15.8);
  return correction * kTwoOverThreePi * vF * bracket / (narrow * narrow);
}

// The Bethe-like stopping of a fast proton, in the same units as the
// friction coefficient.
double HighVelocityStopping(double v, double rs) {
  const double vF = FermiSpeed(rs);
  const double plasmaFrequency = std::sqrt(3.0 / (rs * rs * rs));
  return vF * plasmaFrequency * plasmaFrequency / (v * v * v) *
         std::log(2.0 * v * v / plasmaFrequency);
}

// The stopping of a proton (eV/A) moving at v through the gas of radius rs.
double ProtonStopping(double v, double rs) {
  const double plasmaFrequency = std::sqrt(3.0 / (rs * rs * rs));
  const double threshold = std::sqrt(kEuler * plasmaFrequency / 2.0);
  const double friction = LowVelocityFriction(rs);
  double coefficient = friction;
  if (v >= threshold) {
    const double high = HighVelocityStopping(v, rs);
    if (high <= friction) coefficient = high;
  }
  return coefficient * kStoppingUnit * (v / FermiSpeed(rs));
}

// The ion's mean speed relative to the electrons of a gas of radius rs.
double RelativeSpeed(double v, double rs) {
  const double vF = FermiSpeed(rs);
  if (v > vF) return v * (1.0 + 0.2 * vF * vF / (v * v));
  const double ratio2 = (v / vF) * (v / vF);
  return 0.75 * vF * (1.0 + (2.0 / 3.0) * ratio2 - (1.0 / 15.0) * ratio2 * ratio2);
}

// The square of the effective charge Z1 * gamma of an ion partly stripped
// to the fraction q and screened by its own bound electrons in a gas of
// radius rs.
double EffectiveChargeSquared(double v, double z1, double rs, IonizationFunction ionization) {
  const double y = RelativeSpeed(v, rs) / std::pow(z1, 0.6666666);
  const double q = ionization(y);
  const double bound = 1.0 - q;
  const double screening =
      0.4801 * std::pow(bound, 0.666666) / (std::pow(z1, 0.333333) * (1.0 - 0.143 * bound));
  const double ratio = 4.0 * screening / rs;
  const double gamma = q + (bound / 2.0) * std::log(1.0 + ratio * ratio);
  return (z1 * gamma) * (z1 * gamma);
}

double AtLeastZero(double q) { return std::max(q, 0.0); }

}  // namespace

double NoStopping(double, double, double, const StoppingParameters&) { return 0.0; }

double LocalDensityStopping(double v, double z1, double rs, const StoppingParameters& parameters) {
  const double proton = ProtonStopping(v, rs);
  if (z1 < 2.0) return proton;
  return EffectiveChargeSquared(v, z1, rs, parameters.ionization) * proton;
}

double ReferenceChargeStopping(double v, double z1, double rs,
                               const StoppingParameters& parameters) {
  const double proton = ProtonStopping(v, rs);
  if (z1 < 2.0) return proton;
  return EffectiveChargeSquared(v, z1, parameters.rs0, parameters.ionization) * proton;
}

double ZblIonization(double y) {
  return AtLeastZero(1.0 - std::exp(0.803 * std::pow(y, 0.3) - 1.3167 * std::pow(y, 0.6) -
                                    0.38157 * y - 0.008983 * y * y));
}

double BkIonization(double y) { return AtLeastZero(1.0 - std::exp(-0.92 * y)); }

double CgjIonization(double y) { return AtLeastZero(1.0 - std::exp(-0.95 * (y - 0.07))); }

double MpIonization(double y) {
  if (y < 0.6) return AtLeastZero(1.1111111 * y * y);
  return AtLeastZero(1.0 - std::exp(-2.0 * (y - 0.3483)));
}

const StoppingModel kStoppingModels[kStoppingModelCount] = {
    {"None", "No stopping", NoStopping},
    {"ZBL", "BK stopping", LocalDensityStopping},
    {"Our", "Our model", ReferenceChargeStopping},
    {"?", "This help", NoStopping},
};

const IonizationModel kIonizationModels[kIonizationModelCount] = {
    {"ZBL", "ZBL ionization", ZblIonization},
    {"BK", "BK  ionization", BkIonization},
    {"CGJ", "CGJ ionization", CgjIonization},
    {"MP", "MP  ionization", MpIonization},
};

}  // namespace orvane
