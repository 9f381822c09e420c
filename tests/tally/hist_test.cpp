#include "tally/hist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "damage/gnuplot_check.h"
#include "support/allocation_counter.h"
#include "support/test_support.h"
#include "tally/profile_files.h"

using namespace orvane;
using orvane_test::ReadFile;
using orvane_test::TempDir;

TEST(Hist, OrdersOfMagnitudeGiveSplitDepthsSpreadToTheMaximumDepth) {
  Hist h;
  h.Initialize(0, 900.0, 1e14);
  EXPECT_EQ(h.n, 0);
  h.Initialize(3, 900.0, 1e14);
  EXPECT_EQ(h.n, 9);
  EXPECT_DOUBLE_EQ(h.SplitDepth[0], 100.0);
  EXPECT_DOUBLE_EQ(h.SplitDepth[8], 900.0);
  h.Initialize(6, 900.0, 1e14);
  EXPECT_EQ(h.n, 19);
  EXPECT_EQ(h.Dose, 1e14);
}

TEST(HistDeathTest, RequestsOutsideTheTwentyDepthsStopTheRun) {
  Hist h;
  EXPECT_EXIT(h.Initialize(7, 900.0, 1e14), testing::ExitedWithCode(402 & 0xFF),
              "^# Error: Hist::Initialize, Max number of orders of magnitude reached\n$");
  EXPECT_EXIT(h.Initialize(-1, 900.0, 1e14), testing::ExitedWithCode(402 & 0xFF),
              "^# Error: Hist::Initialize, RareEvent < 0\n$");
}

TEST(Hist, ComputeBinsTheEntriesByOnePercentOfTheDeepest) {
  Hist h;
  h.Initialize(0, 1e10, 1e14);
  h.Add(-5.0, 0.5, -5.0, BACK_SCATTERED, 1);
  h.Add(25.0, 1.0, 250.0, IMPLANTED_ION, 2);
  h.Add(25.5, 1.0, 10.0, IMPLANTED_ION, 3);
  h.Add(100.0, 2.0, 1000.0, IMPLANTED_ION, 4);  // the deepest, in bin 100
  h.Compute();
  EXPECT_EQ(h.Deepest, 100.0);
  EXPECT_EQ(h.Shallowest, -5.0);
  EXPECT_EQ(h.LargestE, 1000.0);
  EXPECT_EQ(h.Outside, 0.5);
  EXPECT_EQ(h.RealIons, 4.5);
  EXPECT_EQ(h.VirtualIons(), 4);
  EXPECT_EQ(h.Conc[25], 2.0);
  // Two of the four ions in the bin: 4 (1 - 2 / 4) / 3 ions^2 spread.
  EXPECT_DOUBLE_EQ(h.Err[25], std::sqrt(4.0 / 3.0));
  EXPECT_EQ(h.Err[26], 1e10);
  EXPECT_EQ(h.Conc[100], 2.0);
  EXPECT_EQ(h.ConcE[1] + h.ConcE[25] + h.ConcE[100], 4.0);
}

TEST(Hist, EntriesWithoutExtentStayInsideTheBins) {
  Hist h;
  h.Initialize(1, 1e10, 1e14);
  h.Add(0.0, 1.0, 0.0, IMPLANTED_ION, 1);
  h.Add(-2.0, 1.0, -2.0, BACK_SCATTERED, 2);
  h.Compute();  // Deepest and LargestE are 0
  EXPECT_EQ(h.Conc[0], 1.0);
  EXPECT_EQ(h.ConcE[0], 1.0);
  EXPECT_EQ(h.Outside, 1.0);
}

TEST(Hist, SplitDepthsHalveTheIonsThatPassThem) {
  Hist h;
  h.Initialize(1, 1e10, 1e14);  // 3 split depths
  for (int k = 0; k < 99; ++k) h.Add(k + 0.5, 1.0, k + 0.5, IMPLANTED_ION, k + 1);
  h.Add(100.0, 1.0, 100.0, IMPLANTED_ION, 100);
  h.Compute();
  h.UpdateSplitDepths();
  EXPECT_DOUBLE_EQ(h.SplitDepth[0], 49.0);  // 51 ions in bins 0..50 exceed half of 100
  EXPECT_DOUBLE_EQ(h.SplitDepth[1], 74.0);
  EXPECT_DOUBLE_EQ(h.SplitDepth[2], 86.0);

  h.Initialize(1, 1e10, 1e14);
  h.Add(0.1, 3.0, 0.1, IMPLANTED_ION, 1);
  h.Add(100.0, 1.0, 100.0, IMPLANTED_ION, 2);
  h.Compute();
  h.UpdateSplitDepths();
  EXPECT_DOUBLE_EQ(h.SplitDepth[0], -1.0);  // the first bin alone passes the target
  EXPECT_DOUBLE_EQ(h.SplitDepth[2], 99.0);  // no bin below the deepest does
}

TEST(Hist, SplitDepthsGoToTheirFileAndWindow) {
  TempDir dir;
  Hist h;
  h.Initialize(1, 300.0, 1e14);
  std::FILE* noWindow = nullptr;
  h.ShowSplitDepths(3, 100, dir.Path(), noWindow);
  const std::string file = dir.File("RE_Depths.03");
  std::FILE* pipe = std::fopen(dir.File("commands").c_str(), "w");
  h.ShowSplitDepths(3, 200, dir.Path(), pipe);
  std::fclose(pipe);
  EXPECT_EQ(ReadFile(file), "100\t10\t20\t30\t\n200\t10\t20\t30\t\n");
  const std::string commands =
      "set title \"Split. zones = 4\"\nset xlabel \"Times\"\nset ylabel \"Depth (nm)\"\n"
      "set nolog y\nset style data lines\nset xrange [0:*]\nplot '" +
      file + "' notitle,'" + file + "' u 1:3 notitle,'" + file + "' u 1:4 notitle\n";
  EXPECT_EQ(ReadFile(dir.File("commands")), commands);
  if (orvane_test::GnuplotInstalled()) {
    EXPECT_EQ(orvane_test::GnuplotComplaints(dir.Path(), commands), "");
  }
  EXPECT_EXIT(h.ShowSplitDepths(3, 1, dir.File("missing"), noWindow),
              testing::ExitedWithCode(301 & 0xFF),
              "^# ERROR, I can not write in " + dir.File("missing") + "/RE_Depths.03\n$");
}

TEST(Hist, ShowIonsAndWarmEntriesWithoutAllocating) {
  Hist h;
  h.Initialize(0, 1e10, 1e14);
  for (int i = 0; i < 50; ++i) h.Add(i, 0.25, i, IMPLANTED_ION, i + 1);
  h.Initialize(0, 1e10, 1e14);
  const long before = orvane_test::Allocations();
  for (int i = 0; i < 50; ++i) h.Add(i, 0.25, i, IMPLANTED_ION, i + 1);
  EXPECT_EQ(orvane_test::Allocations(), before);
  h.Compute();
  std::ostringstream out;
  h.ShowIons(2, out);
  EXPECT_EQ(out.str(), "\nProjectile 2,\tReal ions = 12.5,\tVirtual ions = 50\n");
}

// Rare-event splitting resolves a tail with copies of few ions: the copies of
// one ion share its history and mostly land together.  Each run: 400 ions,
// a tenth of them split into eight copies that land together in the tail
// bin or together short of it.  The error of the tail bin must be its spread
// over independent runs, not that of as many independent ions as copies.
TEST(Hist, ErrorOfATailBinIsItsSpreadOverIndependentRuns) {
  constexpr int kRuns = 300, kIons = 400, kCopies = 8, kTail = 90;
  std::mt19937 generator(20240824);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  double sum = 0.0, sumSquares = 0.0, errors = 0.0;
  Hist h;
  for (int run = 0; run < kRuns; ++run) {
    h.Initialize(3, 100.0, 1e14);
    for (uint32_t ion = 1; ion <= kIons; ++ion) {
      if (uniform(generator) < 0.1) {
        const double depth = uniform(generator) < 0.5 ? kTail + 0.5 : 60.5;
        for (int c = 0; c < kCopies; ++c) h.Add(depth, 1.0 / kCopies, depth, IMPLANTED_ION, ion);
      } else {
        h.Add(20.5, 1.0, 20.5, IMPLANTED_ION, ion);
      }
    }
    h.Add(100.0, 1.0, 100.0, IMPLANTED_ION, kIons + 1);  // bins of 1 angstrom
    h.Compute();
    sum += h.Conc[kTail];
    sumSquares += h.Conc[kTail] * h.Conc[kTail];
    errors += h.Err[kTail];
  }
  const double mean = sum / kRuns;
  const double spread = std::sqrt((sumSquares - sum * sum / kRuns) / (kRuns - 1));
  EXPECT_NEAR(mean, 0.05 * kIons, 1.0);
  // The spread of a run's spread estimate over 300 runs is about 4 %.
  EXPECT_NEAR(errors / kRuns, spread, 0.12 * spread);
}

TEST(Hist, EveryIonWithTheSameWeightGivesTheBinomialErrorOfItsBin) {
  Hist h;
  h.Initialize(0, 1e10, 1e14);
  for (uint32_t ion = 1; ion <= 10; ++ion) {
    h.Add(ion <= 4 ? 5.5 : 50.5, 0.5, 1.0, IMPLANTED_ION, ion);
  }
  h.Add(100.0, 0.5, 1.0, IMPLANTED_ION, 11);
  h.Compute();
  // Four of eleven ions of weight 0.5: 0.5 sqrt(4 (1 - 4 / 11) 11 / 10).
  EXPECT_DOUBLE_EQ(h.Conc[5], 2.0);
  EXPECT_NEAR(h.Err[5], 0.5 * std::sqrt(4.0 * 7.0 / 11.0 * 11.0 / 10.0), 1e-12);
  // One ion alone, split in two, is its own error.
  Hist one;
  one.Initialize(0, 1e10, 1e14);
  one.Add(1.0, 0.25, 1.0, IMPLANTED_ION, 1);
  one.Add(1.0, 0.25, 1.0, IMPLANTED_ION, 1);
  one.Add(2.0, 0.5, 1.0, IMPLANTED_ION, 1);
  one.Compute();
  EXPECT_DOUBLE_EQ(one.Conc[50], 0.5);
  EXPECT_DOUBLE_EQ(one.Err[50], 0.5);
  EXPECT_EQ(one.Err[0], 1e10);
}

namespace {

struct Entry {
  double Depth, Weight, E;
  uint32_t Ion;
};

// Every computed field of the two histograms, bit for bit.
void ExpectSameProfiles(const Hist& a, const Hist& b) {
  EXPECT_EQ(a.RealIons, b.RealIons);
  EXPECT_EQ(a.Outside, b.Outside);
  EXPECT_EQ(a.Deepest, b.Deepest);
  EXPECT_EQ(a.Shallowest, b.Shallowest);
  EXPECT_EQ(a.LargestE, b.LargestE);
  for (int i = 0; i <= Hist::kBins; ++i) {
    ASSERT_EQ(a.Conc[i], b.Conc[i]) << "bin " << i;
    ASSERT_EQ(a.ConcE[i], b.ConcE[i]) << "bin " << i;
    ASSERT_EQ(a.Err[i], b.Err[i]) << "bin " << i;
  }
}

}  // namespace

TEST(Hist, ComputingAsTheEntriesComeGivesTheNumbersOfOneWalkOfThemAll) {
  std::mt19937_64 generator(2812);
  std::exponential_distribution<double> depth(1.0 / 300.0);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  std::vector<Entry> entries;
  uint32_t ion = 0;
  // More entries than a record file holds in memory, so that the walks
  // read some from its file; the extremes grow now and then, some entries
  // lie above the surface, and the copies of a split ion follow each other,
  // at times across a computation.
  while (entries.size() < 3 * RecordFile<HistEntry>::kChunk) {
    ++ion;
    const int copies = uniform(generator) < 0.2 ? 4 : 1;
    for (int c = 0; c < copies; ++c) {
      const double d = uniform(generator) < 0.05 ? -10.0 * uniform(generator) : depth(generator);
      entries.push_back({d, 1.0 / copies, d * (0.5 + uniform(generator)), ion});
    }
  }
  Hist kept;
  kept.Initialize(2, 1000.0, 1e14);
  std::size_t added = 0;
  for (std::size_t stop = 1; added < entries.size(); stop = stop * 5 / 4 + 37) {
    for (; added < std::min(stop, entries.size()); ++added) {
      const Entry& e = entries[added];
      kept.Add(e.Depth, e.Weight, e.E, IMPLANTED_ION, e.Ion);
    }
    kept.Compute();
    Hist whole;
    whole.Initialize(2, 1000.0, 1e14);
    for (std::size_t i = 0; i < added; ++i) {
      const Entry& e = entries[i];
      whole.Add(e.Depth, e.Weight, e.E, IMPLANTED_ION, e.Ion);
    }
    whole.Compute();
    ExpectSameProfiles(kept, whole);
    if (HasFatalFailure()) return;
  }
  // A new simulation starts the sums afresh.
  kept.Initialize(2, 1000.0, 1e14);
  kept.Add(5.0, 1.0, 5.0, IMPLANTED_ION, 1);
  kept.Compute();
  EXPECT_EQ(kept.RealIons, 1.0);
  EXPECT_EQ(kept.Conc[100], 1.0);
}

TEST(Hist, TheProfilesWithoutTheEntriesWriteTheSameFiles) {
  Hist h;
  h.Initialize(2, 500.0, 1e14);
  for (uint32_t ion = 1; ion <= 300; ++ion) {
    h.Add(ion % 7 == 0 ? -3.0 : 0.9 * ion, 1.0, 1.3 * ion, IMPLANTED_ION, ion);
  }
  h.Compute();
  h.UpdateSplitDepths();
  const std::unique_ptr<Hist> copy = h.ProfilesOnly();
  EXPECT_TRUE(copy->Entries.Empty());
  EXPECT_EQ(copy->VirtualIons(), 300);
  ExpectSameProfiles(*copy, h);
  EXPECT_EQ(copy->n, h.n);
  for (int i = 0; i < h.n; ++i) EXPECT_EQ(copy->SplitDepth[i], h.SplitDepth[i]);
  EXPECT_EQ(copy->Dose, h.Dose);
  TempDir a, b;
  SaveHisto(h, 1, a.Path(), "Histo1D", false, 150, 300);
  SaveHisto(*copy, 1, b.Path(), "Histo1D", false, 150, 300);
  SaveHistoR(h, 1, a.Path(), "Histo1D");
  SaveHistoR(*copy, 1, b.Path(), "Histo1D");
  for (const char* name : {".Histo1D_01", ".D_Histo1D_01"}) {
    EXPECT_EQ(ReadFile(b.File(name)), ReadFile(a.File(name))) << name;
  }
}
