#include "tally/pearson.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

using namespace orvane;
using orvane_test::ReadFile;
using orvane_test::TempDir;

namespace {

// A computed profile given bin by bin: depth bins of 1 angstrom.
Hist Profile(const std::vector<double>& weights, double dose = 1e14) {
  Hist h;
  h.Dose = dose;
  h.Deepest = 100.0;
  h.RealIons = 0.0;
  for (std::size_t i = 0; i < weights.size(); ++i) {
    h.Conc[i] = weights[i];
    h.RealIons += weights[i];
  }
  return h;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

TEST(PearsonIV, MomentsOfTwoEqualBins) {
  std::vector<double> w(100, 0.0);
  w[10] = w[30] = 1.0;
  const ProfileMoments m = MomentsOf(Profile(w));
  EXPECT_DOUBLE_EQ(m.MeanRange, 20.5);  // the bins' centres
  EXPECT_DOUBLE_EQ(m.Straggle, 10.0);
  EXPECT_DOUBLE_EQ(m.Skewness, 0.0);
  EXPECT_DOUBLE_EQ(m.Kurtosis, 1.0);
  // A profile without width keeps the raw central moments.
  std::vector<double> one(100, 0.0);
  one[40] = 3.0;
  const ProfileMoments narrow = MomentsOf(Profile(one));
  EXPECT_DOUBLE_EQ(narrow.MeanRange, 40.5);
  EXPECT_EQ(narrow.Straggle, 0.0);
  EXPECT_EQ(narrow.Skewness, 0.0);
  EXPECT_EQ(narrow.Kurtosis, 0.0);
}

// Back-scattered ions, above the surface, and the deepest ion, in the bin
// that no output writes, lie outside the profile: they weigh in no moment.
TEST(PearsonIV, MomentsOfTheProfileAloneWithIonsThatLeftTheTarget) {
  Hist h;
  h.Initialize(0, 1e10, 1e14);
  h.Add(-3.0, 1.0, -3.0, BACK_SCATTERED, 1);
  h.Add(10.2, 1.0, 10.2, IMPLANTED_ION, 2);
  h.Add(30.7, 1.0, 30.7, IMPLANTED_ION, 3);
  h.Add(-1.0, 1.0, -1.0, BACK_SCATTERED, 4);
  h.Add(100.0, 1.0, 100.0, IMPLANTED_ION, 5);  // the deepest: bins of 1 angstrom
  h.Compute();
  EXPECT_DOUBLE_EQ(ProfileWeight(h), 2.0);
  const ProfileMoments m = MomentsOf(h);
  EXPECT_DOUBLE_EQ(m.MeanRange, 20.5);
  EXPECT_DOUBLE_EQ(m.Straggle, 10.0);
  EXPECT_DOUBLE_EQ(m.Skewness, 0.0);
  EXPECT_DOUBLE_EQ(m.Kurtosis, 1.0);
}

TEST(PearsonIV, GaussianMomentsDefineNoPearsonIV) {
  const PearsonCoefficients gauss(ProfileMoments{200.0, 50.0, 0.0, 3.0});
  EXPECT_EQ(gauss.b1, 0.0);
  EXPECT_EQ(gauss.b2, 0.0);
  EXPECT_FALSE(gauss.IsTypeIV());
  // Heavier tails than a Gaussian, skewed or not, give a Pearson IV.
  EXPECT_TRUE(PearsonCoefficients(ProfileMoments{200.0, 50.0, 0.0, 4.0}).IsTypeIV());
  EXPECT_TRUE(PearsonCoefficients(ProfileMoments{200.0, 50.0, -0.5, 4.0}).IsTypeIV());
}

TEST(PearsonIV, GaussianProfileFileSaysSo) {
  TempDir dir;
  // A Gaussian of straggle 10 sampled within 3 straggles: no tails beyond.
  std::vector<double> w(100, 0.0);
  for (int i = 20; i <= 80; ++i) w[i] = std::exp(-(i - 50) * (i - 50) / 200.0);
  SavePearsonIV(Profile(w), 1, dir.Path());
  const auto lines = Lines(ReadFile(dir.File("PearsonIV_01.dat")));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "#  Pearson IV moments:");
  EXPECT_EQ(lines[1], "# Mean range m1 = 50.5");
  EXPECT_EQ(lines[2], "# Straggle   m2 = 9.88316");
  EXPECT_EQ(lines[3].rfind("# Skewness   m3 = ", 0), 0u);
  EXPECT_NEAR(std::stod(lines[3].substr(18)), 0.0, 1e-12);
  EXPECT_EQ(lines[4], "# Kurtosis   m4 = 2.84452");  // the truncated tails: below 3
  EXPECT_EQ(lines[5], "# Cannot generate a Pearson IV");
}

// A skewed profile with tails heavier than a Gaussian's gives both
// profiles, each holding the whole dose, the Pearson IV peaking at the
// profile's peak.
TEST(PearsonIV, ProfilesHoldTheDose) {
  TempDir dir;
  std::vector<double> w(100, 0.0);
  for (int i = 0; i < 100; ++i) {
    const double x = i - 40.0;
    w[i] = std::exp(x < 0 ? x / 6.0 : -x / 8.0);
  }
  const Hist h = Profile(w, 2e15);
  SavePearsonIV(h, 3, dir.Path());
  const auto lines = Lines(ReadFile(dir.File("PearsonIV_03.dat")));
  ASSERT_EQ(lines.size(), 105u);
  double gauss = 0.0, pearson = 0.0, peak = 0.0, peakDepth = 0.0;
  for (std::size_t i = 5; i < lines.size(); ++i) {
    std::istringstream in(lines[i]);
    double depth, g, p;
    ASSERT_TRUE(in >> depth >> g >> p) << lines[i];
    EXPECT_NEAR(depth, (i - 5) * 0.1, 1e-9);
    gauss += g * 1e-8;  // bins of 1 angstrom
    pearson += p * 1e-8;
    if (p > peak) {
      peak = p;
      peakDepth = depth;
    }
  }
  EXPECT_NEAR(gauss, 2e15, 2e15 * 1e-4);
  EXPECT_NEAR(pearson, 2e15, 2e15 * 1e-4);
  EXPECT_NEAR(peakDepth, 4.0, 0.2);

  // A quarter of the real ions outside the bins: the profiles hold the rest.
  Hist lessHeld = Profile(w, 2e15);
  lessHeld.RealIons *= 4.0 / 3.0;
  SavePearsonIV(lessHeld, 3, dir.Path());
  const auto held = Lines(ReadFile(dir.File("PearsonIV_03.dat")));
  ASSERT_EQ(held.size(), 105u);
  for (std::size_t i = 5; i < held.size(); ++i) {
    std::istringstream all(lines[i]), less(held[i]);
    double depth, g, p, heldDepth, heldG, heldP;
    ASSERT_TRUE(all >> depth >> g >> p && less >> heldDepth >> heldG >> heldP);
    EXPECT_NEAR(heldG, 0.75 * g, 1e-5 * g);  // six digits
    EXPECT_NEAR(heldP, 0.75 * p, 1e-5 * p);
  }
}

TEST(PearsonIV, EmptyProfileAndUnwritableFileNeverFail) {
  TempDir dir;
  SavePearsonIV(Profile({}), 1, dir.Path());  // no real ions: moments undefined
  const auto lines = Lines(ReadFile(dir.File("PearsonIV_01.dat")));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[5], "# Cannot generate a Pearson IV");
  testing::internal::CaptureStderr();
  SavePearsonIV(Profile({1.0}), 1, "/nonexistent-dir");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Error: SavePearsonIV, Can't create /nonexistent-dir/PearsonIV_01.dat\n");
}

namespace {

ProfileMoments Moments(double mean, double straggle, double skewness, double kurtosis) {
  ProfileMoments m;
  m.MeanRange = mean;
  m.Straggle = straggle;
  m.Skewness = skewness;
  m.Kurtosis = kurtosis;
  return m;
}

}  // namespace

TEST(PearsonPeak, SymmetricCurvePeaksAtTheMeanNearTheGaussianHeight) {
  // 1e14 at/cm^2 over a straggle of 100 A: a Gaussian peaks at
  // 1e14 / (sqrt(2 pi) 1e-6 cm) = 3.99e19 at/cm^3.
  const PearsonPeak p = PearsonPeakOf(Moments(500.0, 100.0, 0.0, 3.0), 5.0, 200, 1e14);
  ASSERT_TRUE(p.Fitted);
  EXPECT_TRUE(p.KurtosisRaised);  // a Gaussian lies on the edge of the region
  EXPECT_NEAR(p.Kurtosis, SmallestPearsonIVKurtosis(0.0), 1e-12);
  EXPECT_NEAR(p.Kurtosis, 3.0, 0.01);
  EXPECT_NEAR(p.Depth, 500.0, 1e-9);
  EXPECT_NEAR(p.Concentration / 3.989e19, 1.0, 0.01);
}

TEST(PearsonPeak, SkewedCurvePeaksShallowerThanItsMean) {
  const ProfileMoments m = Moments(500.0, 100.0, 0.8, 5.0);
  ASSERT_TRUE(PearsonCoefficients(m).IsTypeIV());
  const PearsonPeak p = PearsonPeakOf(m, 5.0, 200, 1e14);
  ASSERT_TRUE(p.Fitted);
  EXPECT_FALSE(p.KurtosisRaised);
  EXPECT_LT(p.Depth, 500.0);
  EXPECT_GT(p.Depth, 350.0);
  // Mirrored, the peak lies as far beyond the mean.
  const PearsonPeak mirrored = PearsonPeakOf(Moments(500.0, 100.0, -0.8, 5.0), 5.0, 200, 1e14);
  EXPECT_NEAR(mirrored.Depth - 500.0, 500.0 - p.Depth, 1e-6);
  // Moments below the region are fitted at its edge, just inside it.
  const double edge = SmallestPearsonIVKurtosis(0.8);
  EXPECT_GT(edge, 3.0 + 1.5 * 0.64);
  EXPECT_TRUE(PearsonCoefficients(Moments(500.0, 100.0, 0.8, edge)).IsTypeIV());
  EXPECT_FALSE(PearsonCoefficients(Moments(500.0, 100.0, 0.8, edge / 1.002)).IsTypeIV());
  const PearsonPeak raised = PearsonPeakOf(Moments(500.0, 100.0, 0.8, 3.2), 5.0, 200, 1e14);
  EXPECT_TRUE(raised.Fitted && raised.KurtosisRaised);
  EXPECT_DOUBLE_EQ(raised.Kurtosis, edge);
  // Without spread or dose nothing is fitted.
  EXPECT_FALSE(PearsonPeakOf(Moments(500.0, 0.0, 0.0, 0.0), 5.0, 200, 1e14).Fitted);
  EXPECT_FALSE(PearsonPeakOf(m, 5.0, 200, 0.0).Fitted);
}
