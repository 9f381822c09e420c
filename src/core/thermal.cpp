#include "core/thermal.h"

#include <algorithm>
#include <cmath>

#include "core/fatal.h"

namespace orvane {

namespace {

// c_k = B_2k / ((2k + 1) (2k)!), B_2k the Bernoulli numbers.
const double kDebyeSeries[10] = {
    1.0 / 36.0,
    -1.0 / 3600.0,
    1.0 / 211680.0,
    -1.0 / 10886400.0,
    1.0 / 526901760.0,
    (-691.0 / 2730.0) / (13.0 * 479001600.0),
    (7.0 / 6.0) / (15.0 * 87178291200.0),
    (-3617.0 / 510.0) / (17.0 * 20922789888000.0),
    (43867.0 / 798.0) / (19.0 * 6402373705728000.0),
    (-174611.0 / 330.0) / (21.0 * 2432902008176640000.0),
};

constexpr double kPi2 = 9.869604401089358;
constexpr double kAmplitudeConstant = 12.063464;  // sqrt(3 hbar^2 / (amu k_B)), A K^1/2

void FillQuantiles(ThermalTable& table) {
  table.Values[0] = 0.0;
  double p = 0.5;
  for (int i = 1; i < ThermalTable::kQuantiles; ++i) {
    p -= 0.000244081034903588;
    const double t = std::sqrt(-2.0 * std::log(p));
    table.Values[i] = t - (2.515517 + 0.802853 * t + 0.010328 * t * t) /
                              (1.0 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t);
  }
}

}  // namespace

double DebyeFactor(double x) {
  if (x <= 2.16) {
    double f = 1.0 / x;
    double power = x;
    for (double c : kDebyeSeries) {
      f += c * power;
      power *= x * x;
    }
    return f;
  }
  double f = kPi2 / (6.0 * x * x) + 0.25;
  for (int n = 1; n <= 10; ++n) {
    const double nx = n * x;
    f -= std::exp(-nx) * (1.0 + 1.0 / nx) / nx;
    if ((n + 1) * x > 160.0) break;
  }
  return f;
}

double LargestThermalShift(const ThermalTable& table) {
  double deviate = 0.0, amplitude = 0.0;
  for (int i = 0; i < ThermalTable::kQuantiles; ++i) deviate = std::max(deviate, table.Values[i]);
  for (int j = 0; j <= ThermalTable::kElements; ++j)
    amplitude = std::max(amplitude, std::fabs(table.Amplitude(j)));
  return std::sqrt(3.0) * deviate * amplitude;
}

void ComputeAmplitudes(ThermalTable& table, AtomList& atoms, double temperature) {
  FillQuantiles(table);
  Require(atoms.NumberOfElements() > 0, "Atoms.NumberOfElements() > 0", "thermal", 43);
  int j = 0;
  for (Atom& atom : atoms) {
    ++j;
    if (j > ThermalTable::kElements) break;
    const double theta = atom.TDebye;
    if (theta <= 0.0) continue;
    double f;
    if (temperature < 0.0) {
      f = 0.0;
    } else if (temperature == 0.0) {
      f = 0.25;
    } else {
      f = DebyeFactor(theta / temperature);
    }
    atom.TAmp = kAmplitudeConstant * std::sqrt(f / (theta * atom.W));
    table.Values[ThermalTable::kQuantiles + j] = atom.TAmp;
  }
}

}  // namespace orvane
