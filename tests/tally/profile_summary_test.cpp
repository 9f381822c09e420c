#include "tally/profile_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace orvane;

namespace {

struct Ion {
  double depth;  // angstrom
  double weight;
  int status;
};

Hist Computed(const std::vector<Ion>& ions, double dose) {
  Hist h;
  h.Initialize(0, 1e10, dose);
  uint32_t number = 0;
  for (const Ion& ion : ions) h.Add(ion.depth, ion.weight, ion.depth, ion.status, ++number);
  h.Compute();
  return h;
}

}  // namespace

TEST(ProfileSummary, CountsMomentsAndPeakAgainstAProfileComputedHere) {
  // Implanted ions of two weights (as after a rare-event split), one abandoned
  // ion that stays in the target, two back scattered and one transmitted.
  std::vector<Ion> ions = {{-40.0, 0.5, BACK_SCATTERED},
                           {-30.0, 1.0, BACK_SCATTERED},
                           {900.0, 1.0, OUTSIDE_ION},
                           {75.0, 1.0, ION_NOT_FOLLOWED}};
  for (int i = 0; i < 40; ++i) {
    ions.push_back({100.0 + 7.0 * (i % 9), 1.0, IMPLANTED_ION});
    ions.push_back({250.0 + 13.0 * (i % 5), 0.5, IMPLANTED_ION});
  }
  const double dose = 2e14;
  const Hist h = Computed(ions, dose);
  const ProfileSummary s = SummarizeProfile(h);

  double w = 0, sum = 0, total = 0;
  for (const Ion& ion : ions) {
    total += ion.weight;
    if (ion.status == BACK_SCATTERED || ion.status == OUTSIDE_ION) continue;
    w += ion.weight;
    sum += ion.weight * ion.depth;
  }
  const double mean = sum / w;
  double m2 = 0, m3 = 0, m4 = 0;
  for (const Ion& ion : ions) {
    if (ion.status == BACK_SCATTERED || ion.status == OUTSIDE_ION) continue;
    const double d = ion.depth - mean;
    m2 += ion.weight * d * d / w;
    m3 += ion.weight * d * d * d / w;
    m4 += ion.weight * d * d * d * d / w;
  }
  EXPECT_DOUBLE_EQ(s.Implanted, w);
  EXPECT_DOUBLE_EQ(s.Backscattered, 1.5);
  EXPECT_DOUBLE_EQ(s.Transmitted, 1.0);
  EXPECT_NEAR(s.Percent(s.Backscattered), 100.0 * 1.5 / total, 1e-12);
  EXPECT_NEAR(s.MeanDepth, mean, 1e-9);
  EXPECT_NEAR(s.Straggle, std::sqrt(m2), 1e-9);
  EXPECT_NEAR(s.Skewness, m3 / std::pow(m2, 1.5), 1e-9);
  EXPECT_NEAR(s.Kurtosis, m4 / (m2 * m2), 1e-9);

  // The profile file's bins: 1 % of the deepest ion (the transmitted one,
  // 900 A), every ion at or below the surface line counted, the weights of a
  // bin over its volume.
  double bins[100] = {};
  for (const Ion& ion : ions) {
    const int b = static_cast<int>(std::floor(ion.depth / 900.0 * 100));
    if (ion.depth >= 0 && b < 100) bins[b] += ion.weight;
  }
  int peak = 0;
  for (int b = 0; b < 100; ++b) {
    if (bins[b] > bins[peak]) peak = b;
  }
  const double perBin = dose / total / (9.0 * 1e-8);  // at/cm^3 per unit weight
  EXPECT_NEAR(s.PeakConcentration / (bins[peak] * perBin), 1.0, 1e-12);
  EXPECT_DOUBLE_EQ(s.PeakDepth, peak * 9.0);
  EXPECT_NEAR(s.OneIonConcentration / (0.5 * perBin), 1.0, 1e-12);
}

TEST(ProfileSummary, TheDeepSideFallsForGoodBeyondADip) {
  // A tail that falls tenfold every 10 bins from its peak in bin 10, with an
  // empty bin 30 inside it: the level is where the tail falls for good.
  std::vector<Ion> ions;
  for (int b = 10; b < 99; ++b) {
    if (b != 30) ions.push_back({b + 0.5, std::pow(10.0, -(b - 10) / 10.0), IMPLANTED_ION});
  }
  ions.push_back({100.0, 1e-12, IMPLANTED_ION});  // the deepest ion: bins of 1 A
  const Hist h = Computed(ions, 1e14);
  // 1e-3 of the peak is bin 40, whose value lies on the level (within
  // rounding); the next bin is well below it.
  EXPECT_NEAR(FallOffDepth(h, 1e-3), 40.0, 0.01);
  EXPECT_NEAR(FallOffDepth(h, 1e-4), 50.0, 0.01);
  // Halfway between two bins the line between them crosses the level.
  const double level = 0.5 * (std::pow(10.0, -0.5) + std::pow(10.0, -0.6));
  EXPECT_NEAR(FallOffDepth(h, level), 15.5, 1e-9);
  // A level below the last bin that holds ions: the line from it down to
  // the empty bin after it.
  EXPECT_GT(FallOffDepth(h, 1e-10), 98.0);
  EXPECT_LE(FallOffDepth(h, 1e-10), 100.0);
}

TEST(ProfileSummary, WithoutSpreadOrWithoutIonsNothingIsUndefined) {
  const ProfileSummary single = SummarizeProfile(Computed({{50.0, 1.0, IMPLANTED_ION}}, 1e13));
  EXPECT_DOUBLE_EQ(single.MeanDepth, 50.0);
  EXPECT_EQ(single.Straggle, 0.0);
  EXPECT_EQ(single.Skewness, 0.0);
  EXPECT_EQ(single.Kurtosis, 0.0);

  const Hist empty = Computed({}, 1e13);
  const ProfileSummary none = SummarizeProfile(empty);
  EXPECT_EQ(none.TotalIons(), 0.0);
  EXPECT_EQ(none.Percent(none.Implanted), 0.0);
  EXPECT_EQ(none.MeanDepth, 0.0);
  EXPECT_EQ(none.PeakConcentration, 0.0);
  EXPECT_EQ(FallOffDepth(empty, 1e-3), 0.0);

  const ProfileSummary allBack =
      SummarizeProfile(Computed({{-20.0, 1.0, BACK_SCATTERED}, {-9.0, 1.0, BACK_SCATTERED}}, 1e13));
  EXPECT_DOUBLE_EQ(allBack.Percent(allBack.Backscattered), 100.0);
  EXPECT_EQ(allBack.MeanDepth, 0.0);
  EXPECT_FALSE(std::isnan(allBack.PeakConcentration));
}

namespace {

// A Gaussian profile of cells of the width (angstrom) at their lower edges.
DepthProfile Gaussian(double peak, double mean, double straggle, double width, int cells) {
  DepthProfile p;
  p.Extent = width * cells;
  for (int i = 0; i < cells; ++i) {
    const double x = i * width - mean;
    p.Cells.push_back(peak * std::exp(-x * x / (2 * straggle * straggle)));
  }
  return p;
}

}  // namespace

TEST(Junction, DepthsWhereAGaussianMeetsTheBackground) {
  // 1e20 at 300 A, straggle 100 A, cells of 2 A: 1e17 is met at
  // 300 + 100 sqrt(2 ln 1000) = 671.7 A, within a tenth of a cell.
  const DepthProfile shallow = Gaussian(1e20, 300.0, 100.0, 2.0, 600);
  const std::vector<double> one = JunctionDepths(shallow, 1e17);
  ASSERT_EQ(one.size(), 1u);  // the surface lies above the background
  EXPECT_NEAR(one[0], 300.0 + 100.0 * std::sqrt(2 * std::log(1000.0)), 0.2);
  // A buried profile rises through the background too, shallow first.
  const std::vector<double> two = JunctionDepths(shallow, 1e19);
  ASSERT_EQ(two.size(), 2u);
  const double half = 100.0 * std::sqrt(2 * std::log(10.0));
  EXPECT_NEAR(two[0], 300.0 - half, 0.2);
  EXPECT_NEAR(two[1], 300.0 + half, 0.2);
  // Below one ion per cell, empty cells make no rise.
  EXPECT_EQ(JunctionDepths(shallow, 1e19, false), std::vector<double>{two[1]});
  // Scaled cells meet the level in atoms/cm^3.
  DepthProfile scaled = shallow;
  for (double& cell : scaled.Cells) cell /= 4.0;
  scaled.Scale = 4.0;
  EXPECT_NEAR(JunctionDepths(scaled, 1e17)[0], one[0], 1e-9);
  // A profile below the background has no junction.
  EXPECT_TRUE(JunctionDepths(shallow, 2e20).empty());
  // A first cell below the level alone makes no buried profile.
  DepthProfile dip = shallow;
  dip.Cells[0] = 0.0;
  EXPECT_EQ(JunctionDepths(dip, 1e17).size(), 1u);
  // The profile falls for good: a stray cell of the tail beyond the
  // crossing moves it there.
  DepthProfile stray = shallow;
  stray.Cells[500] = 2e17;
  EXPECT_GT(JunctionDepths(stray, 1e17)[0], 1000.0);
}

TEST(Junction, SummaryOfAHistogramWithABackground) {
  std::vector<Ion> ions;
  for (int i = 0; i < 200; ++i) ions.push_back({100.0 + i % 50, 1.0, IMPLANTED_ION});
  const Hist h = Computed(ions, 1e14);
  const ProfileSummary none = SummarizeProfile(h);
  EXPECT_EQ(none.Background, 0.0);
  EXPECT_TRUE(none.JunctionDepths.empty());
  // One ion in a bin of 1.49 A: 1e14 / 200 / 1.49e-8 = 3.4e19 at/cm^3.
  const ProfileSummary s = SummarizeProfile(h, 1e20);
  EXPECT_EQ(s.Background, 1e20);
  EXPECT_TRUE(s.Resolves(1e20));
  EXPECT_EQ(s.JunctionDepths, JunctionDepths(ProfileOf(h), 1e20));
  // No ion above 100 A: the crossings lie on the lines from the empty bins
  // (1.49 A wide) beside the shallowest and the deepest ion.
  ASSERT_EQ(s.JunctionDepths.size(), 2u);
  EXPECT_NEAR(s.JunctionDepths[0], 100.0, 2 * 1.49);
  EXPECT_NEAR(s.JunctionDepths[1], 149.0, 2 * 1.49);
  // A background below one ion per bin: the fall alone.
  const ProfileSummary low = SummarizeProfile(h, 1e18);
  EXPECT_FALSE(low.Resolves(1e18));
  ASSERT_EQ(low.JunctionDepths.size(), 1u);
  EXPECT_NEAR(low.JunctionDepths[0], 149.0, 2 * 1.49);
}
