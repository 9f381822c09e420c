#include "tally/profile_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "tally/result_names.h"

using namespace orvane;
using orvane_test::LimitFileSizeAsOnAFullDisk;
using orvane_test::ReadFile;
using orvane_test::TempDir;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<double> Numbers(const std::string& line) {
  std::vector<double> numbers;
  std::istringstream in(line);
  for (double x; in >> x;) numbers.push_back(x);
  return numbers;
}

// Three ions of weight 1 at 0, 50 and 100 angstrom and one backscattered
// ion of weight 2: the deepest lands in bin 100, which no file shows.
Hist ThreeIons() {
  Hist h;
  h.Initialize(0, 1e10, 1e14);
  h.Add(0.0, 1.0, 0.0, IMPLANTED_ION, 1);
  h.Add(50.0, 1.0, 100.0, IMPLANTED_ION, 2);
  h.Add(100.0, 1.0, 200.0, IMPLANTED_ION, 3);
  h.Add(-5.0, 2.0, 10.0, BACK_SCATTERED, 4);
  h.Compute();
  return h;
}

}  // namespace

TEST(ResultNames, TwoDigitNumbersAfterTheOutputDirectory) {
  EXPECT_EQ(HistogramPrefix("Histo1D.", 1), "Histo1D.01");
  EXPECT_EQ(ProfileFileName("Dx", "Histo1D.01", 3), "Dx/.Histo1D.01_03");
  EXPECT_EQ(RareEventFileName("Dx", "Histo1D.", 10), "Dx/.D_Histo1D._10");
  EXPECT_EQ(PearsonFileName("Dx", 2), "Dx/PearsonIV_02.dat");
  EXPECT_EQ(CoordinatesFileName("Dx", 2), "Dx/Ion.02.coordinates.dat");
  EXPECT_EQ(Histo3DBinaryFileName("Dx", 2), "Dx/Ion.02.histo3D.bin");
  EXPECT_EQ(Histo3DTextFileName("Dx", 2), "Dx/Ion.02.histo3D.dat");
}

TEST(SaveHisto, HeaderAndOneHundredBinsWithErrorBands) {
  TempDir dir;
  const Hist h = ThreeIons();
  // 100 dose / 5 real ions / 1e-8 cm / 100 angstrom.
  EXPECT_DOUBLE_EQ(ConcentrationScale(h), 2e21);
  SaveHisto(h, 1, dir.Path(), "Histo1D.01", true, 10, 10);
  const auto lines = Lines(ReadFile(dir.File(".Histo1D.01_01")));
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines[0], "# 10 5 4 4e+21");      // 2 real ions above the surface
  EXPECT_EQ(lines[1], "0 2e+21 0 4e+21");     // one of four ions: sqrt(4 / 3 x 3 / 4)
  EXPECT_EQ(lines[2], "0.1 0 -2e+31 2e+31");  // no entries: error 1e10
  EXPECT_EQ(lines[51], "5 2e+21 0 4e+21");
  EXPECT_EQ(lines[100], "9.9 0 -2e+31 2e+31");
}

TEST(SaveHisto, IntermediateOutputShowsTheDoseImplantedSoFar) {
  TempDir dir;
  const Hist h = ThreeIons();
  SaveHisto(h, 2, dir.Path(), "full", true, 500, 1000);
  SaveHisto(h, 2, dir.Path(), "half", false, 500, 1000);
  const auto full = Lines(ReadFile(dir.File(".full_02")));
  const auto half = Lines(ReadFile(dir.File(".half_02")));
  ASSERT_EQ(full.size(), half.size());
  EXPECT_EQ(half[0], "# 500 5 4 2e+21");
  for (std::size_t i = 1; i < full.size(); ++i) {
    const auto f = Numbers(full[i]);
    const auto g = Numbers(half[i]);
    ASSERT_EQ(g.size(), 4u);
    EXPECT_EQ(g[0], f[0]);
    for (int c = 1; c < 4; ++c) EXPECT_DOUBLE_EQ(g[c], f[c] / 2) << "line " << i;
  }
}

TEST(SaveHisto, HistogramWithoutIonsInTheTargetWritesFiniteZeros) {
  TempDir dir;
  Hist h;
  h.Initialize(0, 1e10, 1e14);
  // Every ion backscattered: no depth, no rare-event extent.
  h.Add(-3.0, 1.0, 0.0, BACK_SCATTERED, 1);
  h.Compute();
  SaveHisto(h, 1, dir.Path(), "back", false, 1, 0);
  SaveHistoR(h, 1, dir.Path(), "back");
  const auto lines = Lines(ReadFile(dir.File(".back_01")));
  ASSERT_EQ(lines.size(), 101u);
  EXPECT_EQ(lines[0], "# 1 1 1 0");
  EXPECT_EQ(lines[1], "0 0 -0 0");
  for (const std::string& line : Lines(ReadFile(dir.File(".D_back_01")))) {
    EXPECT_EQ(line.find("nan"), std::string::npos) << line;
    EXPECT_EQ(line.find("inf"), std::string::npos) << line;
  }
}

TEST(SaveHistoR, ProfileOfTheRareEventQuantity) {
  TempDir dir;
  const Hist h = ThreeIons();
  SaveHistoR(h, 1, dir.Path(), "Histo1D.");
  const auto lines = Lines(ReadFile(dir.File(".D_Histo1D._01")));
  ASSERT_EQ(lines.size(), 103u);
  EXPECT_EQ(lines[0], "#  Real ions = NumberOfImplants*EffectiveWeigth, Virtual ions");
  EXPECT_EQ(lines[1], "# 5 4");
  EXPECT_EQ(lines[2], "#  Distance_travelled(nm), Conc. (at/cm^3");
  // 100 dose / 5 / 1e-8 / 200 angstrom = 1e21 per unit weight; bins of 2 angstrom.
  EXPECT_EQ(lines[3], "0 1e+21");        // the ion with E = 0
  EXPECT_EQ(lines[3 + 5], "1 0");        // the backscattered ion's E = 10 is in no bin
  EXPECT_EQ(lines[3 + 50], "10 1e+21");  // E = 100
  EXPECT_EQ(lines[102], "19.8 0");       // E = 200 lies in bin 100, not written
}

TEST(SaveHistoDeathTest, ProfileThatCannotBeCreatedEndsTheRun) {
  const Hist h = ThreeIons();
  EXPECT_EXIT(SaveHisto(h, 1, "/nonexistent-dir", "H", true, 1, 1),
              testing::ExitedWithCode(301 & 0xFF),
              "^# Error: SaveHisto, Can't create /nonexistent-dir/.H_01\n$");
  EXPECT_EXIT(SaveHistoR(h, 1, "/nonexistent-dir", "H"), testing::ExitedWithCode(301 & 0xFF),
              "^# Error: SaveHistoR, Can't create /nonexistent-dir/.D_H_01\n$");
}

TEST(SaveHistoDeathTest, ProfileThatCannotBeWrittenWholeEndsTheRun) {
  const Hist h = ThreeIons();
  TempDir dir;
  orvane_test::WriteFile(dir.File(".H_01"), "the last profile\n");
  EXPECT_EXIT((LimitFileSizeAsOnAFullDisk(500), SaveHisto(h, 1, dir.Path(), "H", true, 1, 1)),
              testing::ExitedWithCode(301 & 0xFF),
              "^# Error: SaveHisto, Can't write " + dir.File(".H_01") + "\n$");
  EXPECT_EXIT((LimitFileSizeAsOnAFullDisk(500), SaveHistoR(h, 1, dir.Path(), "H")),
              testing::ExitedWithCode(301 & 0xFF), "^# Error: SaveHistoR, Can't write ");
  EXPECT_EQ(ReadFile(dir.File(".H_01")), "the last profile\n");
}
