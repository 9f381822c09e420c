#include "tally/pearson.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "core/replaced_file.h"
#include "tally/result_names.h"

namespace orvane {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kAngstromToNm = 0.1;
constexpr double kAngstromToCm = 1e-8;

void WriteMoments(std::ostream& file, const ProfileMoments& m) {
  file << "#  Pearson IV moments:\n"
       << "# Mean range m1 = " << m.MeanRange << "\n"
       << "# Straggle   m2 = " << m.Straggle << "\n"
       << "# Skewness   m3 = " << m.Skewness << "\n"
       << "# Kurtosis   m4 = " << m.Kurtosis << "\n";
}

// The Pearson IV and Gaussian profiles, each up to its normalisation, at
// the depth x (angstrom).
struct Profiles {
  const ProfileMoments& m;
  const PearsonCoefficients& c;
  double D;  // sqrt(4 b2 b0 - b1^2), real for a Pearson IV

  double Pearson(double x) const {
    const double X = x - m.MeanRange;
    const double q = std::fabs(c.b2 * X * X + c.b1 * X + c.b0) / (m.MeanRange * m.MeanRange);
    return std::exp(std::log(q) / (2.0 * c.b2) -
                    (c.b1 / c.b2 + 2.0 * c.b1) / D * std::atan2(2.0 * c.b2 * X + c.b1, D));
  }
  // ln of the Pearson IV, whose exponent overflows where b2 is small.
  double LogPearson(double x) const {
    const double X = x - m.MeanRange;
    const double q = std::fabs(c.b2 * X * X + c.b1 * X + c.b0) / (m.MeanRange * m.MeanRange);
    return std::log(q) / (2.0 * c.b2) -
           (c.b1 / c.b2 + 2.0 * c.b1) / D * std::atan2(2.0 * c.b2 * X + c.b1, D);
  }
  double Gauss(double x) const {
    const double X = x - m.MeanRange;
    const double s = m.Straggle;
    return std::exp(-X * X / (2.0 * s * s)) / (std::sqrt(kTwoPi) * s);
  }
};

// The depths of the profiles: the lower edges of the 100 depth bins.
double DepthOfPoint(const Hist& histogram, int i) { return i * (histogram.Deepest / Hist::kBins); }

// The sum of the Pearson IV over the points i * width, each point standing
// for width (angstrom) of depth, in cm.
double PearsonSum(const Profiles& profiles, double width, int points) {
  double sum = 0.0;
  for (int i = 0; i < points; ++i) sum += profiles.Pearson(i * width) * (width * kAngstromToCm);
  return sum;
}

Profiles PearsonOf(const ProfileMoments& moments, const PearsonCoefficients& c) {
  return Profiles{moments, c, std::sqrt(4.0 * c.b2 * c.b0 - c.b1 * c.b1)};
}

void WriteProfiles(std::ostream& file, const Hist& histogram, const Profiles& profiles) {
  const double dose = ProfileDose(histogram);
  const double width = histogram.Deepest / Hist::kBins * kAngstromToCm;
  const double sumPearson = PearsonSum(profiles, histogram.Deepest / Hist::kBins, Hist::kBins);
  double sumGauss = 0.0;
  for (int i = 0; i < Hist::kBins; ++i) {
    sumGauss += profiles.Gauss(DepthOfPoint(histogram, i)) * width;
  }
  for (int i = 0; i < Hist::kBins; ++i) {
    const double x = DepthOfPoint(histogram, i);
    file << x * kAngstromToNm << " " << profiles.Gauss(x) * dose / sumGauss << " "
         << profiles.Pearson(x) * dose / sumPearson << "\n";
  }
}

}  // namespace

double ProfileWeight(const Hist& histogram) {
  double held = 0.0;
  for (int i = 0; i < Hist::kBins; ++i) held += histogram.Conc[i];
  return held;
}

double ProfileDose(const Hist& histogram) {
  if (!(histogram.RealIons > 0.0)) return 0.0;
  return histogram.Dose * ProfileWeight(histogram) / histogram.RealIons;
}

ProfileMoments MomentsOf(const Hist& histogram) {
  return MomentsOfCells(histogram.Conc, Hist::kBins, histogram.Deepest / Hist::kBins);
}

ProfileMoments MomentsOfCells(const double* cells, int count, double width) {
  ProfileMoments m;
  double held = 0.0;
  for (int i = 0; i < count; ++i) held += cells[i];
  if (!(held > 0.0)) return m;
  double first = 0.0;
  for (int i = 0; i < count; ++i) first += (i + 0.5) * cells[i];
  m.MeanRange = first * width / held;
  double m2 = 0.0, m3 = 0.0, m4 = 0.0;
  for (int i = 0; i < count; ++i) {
    const double d = (i + 0.5) * width - m.MeanRange;
    const double w = cells[i];
    m2 += d * d * w;
    m3 += d * d * d * w;
    m4 += d * d * d * d * w;
  }
  m2 /= held;
  m3 /= held;
  m4 /= held;
  m.Straggle = std::sqrt(m2);
  m.Skewness = m3;
  m.Kurtosis = m4;
  const double s = m.Straggle;
  if (s != 0.0) {
    m.Skewness = m3 / (s * s * s);
    m.Kurtosis = m4 / (s * s * s * s);
  }
  return m;
}

PearsonCoefficients::PearsonCoefficients(const ProfileMoments& m) {
  const double s = m.Straggle;
  const double g = m.Skewness;
  const double b = m.Kurtosis;
  const double A = 10.0 * b - 12.0 * g * g - 18.0;
  b1 = -g * s * (b + 3.0) / A;
  b0 = -s * s * (4.0 * b - 3.0 * g * g) / A;
  b2 = -(2.0 * b - 3.0 * g * g - 6.0) / A;
}

// A negative discriminant; moments that give none (no ions, A = 0) make no
// Pearson IV either.
bool PearsonCoefficients::IsTypeIV() const { return b1 * b1 - 4.0 * b0 * b2 < 0.0; }

double SmallestPearsonIVKurtosis(double skewness) {
  // On the type III line (kurtosis 3 + 1.5 skewness^2) b2 is 0; above the
  // type V line the denominator has no real roots; far above it neither
  // (for skewness^2 < 32).  Bisection between the two.
  ProfileMoments m;
  m.Straggle = 1.0;
  m.Skewness = skewness;
  double below = 3.0 + 1.5 * skewness * skewness;
  double above = std::max(2.0 * below, 100.0);
  for (int i = 0; i < 100; ++i) {
    m.Kurtosis = 0.5 * (below + above);
    (PearsonCoefficients(m).IsTypeIV() ? above : below) = m.Kurtosis;
  }
  return above * 1.001;
}

PearsonPeak PearsonPeakOf(const ProfileMoments& measured, double width, int points, double dose) {
  PearsonPeak peak;
  if (!(measured.MeanRange > 0.0) || !(measured.Straggle > 0.0) || !(width > 0.0) ||
      !(dose > 0.0) || !(measured.Skewness * measured.Skewness < 32.0)) {
    return peak;
  }
  ProfileMoments moments = measured;
  if (!PearsonCoefficients(moments).IsTypeIV()) {
    moments.Kurtosis = std::max(moments.Kurtosis, SmallestPearsonIVKurtosis(moments.Skewness));
    peak.KurtosisRaised = true;
  }
  const PearsonCoefficients c(moments);
  if (!c.IsTypeIV()) return peak;
  const Profiles profiles = PearsonOf(moments, c);
  // d ln P / dX = (X - b1) / (b0 + b1 X + b2 X^2), whose denominator is
  // negative: the curve rises up to X = b1 and falls beyond.  The curve is
  // taken relative to its peak, which keeps the exponents finite.
  const double depth = std::max(0.0, moments.MeanRange + c.b1);
  const double top = profiles.LogPearson(depth);
  double sum = 0.0;
  for (int i = 0; i < points; ++i) {
    sum += std::exp(profiles.LogPearson(i * width) - top) * (width * kAngstromToCm);
  }
  if (!(sum > 0.0) || !std::isfinite(sum)) return peak;
  peak.Fitted = true;
  peak.Kurtosis = moments.Kurtosis;
  peak.Depth = depth;
  peak.Concentration = dose / sum;
  return peak;
}

void SavePearsonIV(const Hist& histogram, int species, const std::string& outputDirectory) {
  const std::string path = PearsonFileName(outputDirectory, species);
  ReplacedFile replaced(path);
  if (!replaced.OpenOrWarn("SavePearsonIV")) return;
  std::ofstream& file = replaced.Stream();
  const ProfileMoments moments = MomentsOf(histogram);
  WriteMoments(file, moments);
  const PearsonCoefficients c(moments);
  if (!c.IsTypeIV()) {
    file << "# Cannot generate a Pearson IV\n";
  } else {
    WriteProfiles(file, histogram, PearsonOf(moments, c));
  }
  replaced.CommitOrWarn("SavePearsonIV");
}

}  // namespace orvane
