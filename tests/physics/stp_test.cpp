#include "physics/stp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "stopping_test_tables.h"
#include "support/test_support.h"

using namespace orvane;
using orvane_test::FileExists;
using orvane_test::RegexLiteral;
using orvane_test::TempDir;
using stopping_test::ReadDoubles;
using stopping_test::WriteDoubles;

namespace {

double Speed(int i) { return 0.001 + 0.002 * i; }
double Radius(int j) { return 0.001 + 0.02 * j; }

// The look-up rule: bilinear in the entries, with weights that place column
// i at v = 0.002 i and row j at rs = 0.02 j.
double Bilinear(const std::vector<double>& t, double v, double rs) {
  const int j = static_cast<int>(rs / 0.02);
  const int i = static_cast<int>(v / 0.002);
  const double fv = v * 2750 / 5.5 - i;
  const double fr = rs * 300 / 6.0 - j;
  auto at = [&](int row, int column) { return t[row * 2750 + column]; };
  const double a = at(j, i) + fv * (at(j, i + 1) - at(j, i));
  const double b = at(j + 1, i) + fv * (at(j + 1, i + 1) - at(j + 1, i));
  return a + fr * (b - a);
}

class StpTables : public stopping_test::WithStoppingTables {};
class StpTablesDeathTest : public stopping_test::WithStoppingTables {};

}  // namespace

TEST(StpSelection, DefaultsAndChanges) {
  STP stp;
  EXPECT_EQ(stp.StoppingIndex(), 2);
  EXPECT_EQ(stp.IonizationIndex(), 1);
  EXPECT_EQ(stp.RS0(), 1.8);
  EXPECT_EQ(stp.Layer(), 0);
  stp.SelectModels(1, 3);
  stp.SetLayer(4, 2.25);
  EXPECT_EQ(stp.StoppingIndex(), 1);
  EXPECT_EQ(stp.IonizationIndex(), 3);
  EXPECT_EQ(stp.Layer(), 4);
  EXPECT_EQ(stp.RS0(), 2.25);
  // The selected models are those evaluated.
  const StoppingParameters mp{MpIonization, 2.25};
  EXPECT_EQ(stp.Model(0.8, 14, 1.5), LocalDensityStopping(0.8, 14, 1.5, mp));
  stp.SelectModels(2, 3);
  EXPECT_EQ(stp.Model(0.8, 14, 1.5), ReferenceChargeStopping(0.8, 14, 1.5, mp));
}

TEST_F(StpTables, GeneratesTheSelectedModelsTableOnceAndReadsItLater) {
  TempDir dir;
  PointTablesAt(dir.Path() + "/");
  const std::string path = dir.File("InelNonLocal02_01_00_1.85.dat");
  STP stp;
  stp.SelectModels(1, 0);
  stp.SetLayer(0, 1.85);
  testing::internal::CaptureStderr();
  const double first = stp.Stopping(1.0, 2.0, 2.0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Generating non-local inelastic stopping table Z = 2\n");

  const std::vector<double> table = ReadDoubles(path);
  ASSERT_EQ(orvane_test::ReadFile(path).size(), 6600000u);
  // Row j at rs_j, column i at v_i, each entry the model itself.
  for (int j = 0; j < 300; j += 13)
    for (int i = 0; i < 2750; i += 37)
      ASSERT_EQ(table[j * 2750 + i], stp.Model(Speed(i), 2.0, Radius(j))) << j << " " << i;
  EXPECT_EQ(table[0], stp.Model(Speed(0), 2.0, Radius(0)));
  EXPECT_EQ(table[825000 - 1], stp.Model(Speed(2749), 2.0, Radius(299)));

  testing::internal::CaptureStderr();
  EXPECT_EQ(stp.Stopping(1.0, 2.0, 2.0), first);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  STP later;
  later.SelectModels(1, 0);
  later.SetLayer(0, 1.85);
  testing::internal::CaptureStderr();
  EXPECT_EQ(later.Stopping(1.0, 2.0, 2.0), first);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "# Reading " + path + "\n");
}

TEST_F(StpTables, LookUpInterpolatesTheEntriesBilinearly) {
  STP stp;
  const double z1 = 5.0;
  stp.Stopping(1.0, z1, 2.0);
  const std::vector<double> table =
      ReadDoubles(stopping_test::SharedTableDir() + "InelNonLocal05_02_01_1.80.dat");
  ASSERT_EQ(table.size(), 825000u);
  for (double rs = 0.3; rs < 5.98; rs += 0.4137)
    for (double v = 0.05; v < 5.498; v += 0.3119) {
      SCOPED_TRACE(testing::Message() << "v " << v << " rs " << rs);
      const double looked = stp.Stopping(v, z1, rs);
      EXPECT_NEAR(looked, Bilinear(table, v, rs), 1e-12 * std::abs(looked));
      // Each entry lies 0.001 beyond the point that its weight assumes, so
      // the table reproduces the model at (v + 0.001, rs + 0.001), to the
      // accuracy of a bilinear interpolation over cells of 0.002 by 0.02:
      // h^2/8 times the curvature along each axis.
      const double vs = v + 0.001;
      const double r = rs + 0.001;
      const double model = stp.Model(vs, z1, r);
      const double alongV = stp.Model(vs + 0.002, z1, r) - 2 * model + stp.Model(vs - 0.002, z1, r);
      const double alongRs = stp.Model(vs, z1, r + 0.02) - 2 * model + stp.Model(vs, z1, r - 0.02);
      const double bound = (std::abs(alongV) + std::abs(alongRs)) / 8;
      EXPECT_NEAR(looked, model, 1.5 * bound + 1e-12 * model);
      EXPECT_NEAR(looked, model, 1e-3 * model);
    }
  // The last interpolated cells.
  EXPECT_NEAR(stp.Stopping(5.4975, z1, 2.0), Bilinear(table, 5.4975, 2.0), 1e-12 * 100);
  EXPECT_NEAR(stp.Stopping(1.0, z1, 5.975), Bilinear(table, 1.0, 5.975), 1e-12 * 100);
}

TEST_F(StpTables, BeyondTheTableTheModelIsEvaluatedDirectly) {
  STP stp;
  const double z1 = 5.0;
  for (double v : {5.498, 5.4985, 5.5, 7.0, 20.0})
    EXPECT_EQ(stp.Stopping(v, z1, 2.0), stp.Model(v, z1, 2.0)) << v;
  for (double rs : {5.98, 5.985, 6.5, 40.0, 2500.0})
    EXPECT_EQ(stp.Stopping(1.0, z1, rs), stp.Model(1.0, z1, rs)) << rs;
  EXPECT_NE(stp.Stopping(5.4975, z1, 2.0), stp.Model(5.4975, z1, 2.0));
  EXPECT_TRUE(std::isnan(stp.Stopping(std::nan(""), z1, 2.0)));
}

TEST_F(StpTables, NoStoppingTablesAreZeroAndNamedAfterModelsAndRS0) {
  STP stp;
  // 1.115 rounds to 1.11 in double precision but to 1.12 in single.
  stp.SetLayer(2, 1.115);
  for (int model : {0, 3}) {
    stp.SelectModels(model, 3);
    EXPECT_EQ(stp.Stopping(1.0, 7.0, 2.0), 0.0);
    const std::string name = "InelNonLocal07_0" + std::to_string(model) + "_03_1.12.dat";
    const std::vector<double> table = ReadDoubles(stopping_test::SharedTableDir() + name);
    ASSERT_EQ(table.size(), 825000u) << name;
    for (double entry : table) ASSERT_EQ(entry, 0.0);
    stp.Release();
  }
}

TEST_F(StpTables, EachLayerHasItsOwnTable) {
  TempDir dir;
  PointTablesAt(dir.Path() + "/");
  WriteDoubles(dir.File("InelNonLocal09_02_01_1.80.dat"), std::vector<double>(825000, 3.0));
  WriteDoubles(dir.File("InelNonLocal09_02_01_2.40.dat"), std::vector<double>(825000, 5.0));
  STP stp;
  stp.SetLayer(0, 1.8);
  EXPECT_EQ(stp.Stopping(1.0, 9.0, 2.0), 3.0);
  stp.SetLayer(1, 2.4);
  EXPECT_EQ(stp.Stopping(1.0, 9.0, 2.0), 5.0);
  testing::internal::CaptureStderr();
  stp.SetLayer(0, 1.8);
  EXPECT_EQ(stp.Stopping(1.0, 9.0, 2.0), 3.0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(StpTables, ReleaseLetsTheNextSimulationReadItsTablesAgain) {
  TempDir dir;
  PointTablesAt(dir.Path() + "/");
  const std::string path = dir.File("InelNonLocal09_02_01_1.80.dat");
  WriteDoubles(path, std::vector<double>(825000, 3.0));
  STP stp;
  EXPECT_EQ(stp.Stopping(1.0, 9.0, 2.0), 3.0);
  WriteDoubles(path, std::vector<double>(825000, 4.0));
  EXPECT_EQ(stp.Stopping(1.0, 9.0, 2.0), 3.0);
  stp.Release();
  testing::internal::CaptureStderr();
  EXPECT_EQ(stp.Stopping(1.0, 9.0, 2.0), 4.0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "# Reading " + path + "\n");
}

TEST_F(StpTables, AShortFileIsComputedAgainAndReplaced) {
  TempDir dir;
  PointTablesAt(dir.Path() + "/");
  const std::string path = dir.File("InelNonLocal05_02_01_1.80.dat");
  // Two rows and ten entries, and half of the next double.
  WriteDoubles(path, std::vector<double>(2 * 2750 + 10, 42.0));
  {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    std::fputs("abcd", file);
    std::fclose(file);
  }
  STP stp;
  testing::internal::CaptureStderr();
  // Column 250, row 1: the entry computed at v = 0.501, rs = 0.021, which
  // the file held as 42.
  const double entry = stp.Model(0.501, 5.0, 0.021);
  EXPECT_NEAR(stp.Stopping(0.5, 5.0, 0.02), entry, 1e-12 * entry);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Warning: " + path + " holds 5510 of 825000 values; it is computed again\n"
            "# Generating non-local inelastic stopping table Z = 5\n");
  EXPECT_EQ(orvane_test::ReadFile(path).size(), 825000 * 8u);
}

TEST_F(StpTablesDeathTest, TableThatCannotBeWrittenEndsTheRun) {
  STP stp;
  stp.SelectModels(0, 1);
  PointTablesAt("/nonexistent-orvane-dir/");
  EXPECT_EXIT(stp.Stopping(1.0, 5.0, 2.0), testing::ExitedWithCode(301 & 0xFF),
              RegexLiteral("# Generating non-local inelastic stopping table Z = 5\n"
                           "# Error, STP::Stopping, Can't write in "
                           "/nonexistent-orvane-dir/InelNonLocal05_00_01_1.80.dat\n"));
  EXPECT_FALSE(FileExists("/nonexistent-orvane-dir/InelNonLocal05_00_01_1.80.dat"));
}

TEST(StpDeathTest, LayerBeyondTheFifthIsRefused) {
  STP stp;
  EXPECT_DEATH(stp.SetLayer(5, 1.8), "Layer>=0 && Layer<MAXLAYER");
}

// Four look-ups side by side: each lane is the look-up of its own point
// (the bilinear rule with the line through the column's two speeds, at the
// same bits), whatever the other lanes hold; points beyond the table, not
// numbers among them, are marked uncovered and read nothing beyond it.
TEST(StoppingTableLanes, EachLaneIsItsOwnLookUpAndPointsBeyondAreMarked) {
  std::vector<double> values(STP::kEntries);
  for (int j = 0; j < STP::kRows; ++j)
    for (int i = 0; i < STP::kColumns; ++i)
      values[j * STP::kColumns + i] = std::sin(0.37 * i) * 50.0 + std::cos(0.11 * j) * 7.0 + j;
  const StoppingTable table(values.data());
  const double nan = std::nan("");
  // (speed, radius) pairs: inside, on grid points, next to the last row and
  // column, and beyond every edge.
  const std::vector<std::pair<double, double>> points = {
      {0.5, 1.5},      {0.0, 0.0},       {1.234, 0.02},   {5.497, 5.97},   {5.498, 1.0},
      {2.0, 5.98},     {-1e-9, 1.0},     {1.0, -1e-9},    {nan, 1.0},      {1.0, nan},
      {1e300, 1e300},  {3.3333, 2.2222}, {0.002, 0.019},  {4.9999, 0.6001}};
  for (std::size_t first = 0; first < points.size(); ++first) {
    Lanes v = {}, rs = {};
    for (int lane = 0; lane < kSiteLanes; ++lane) {
      const auto& point = points[(first + lane) % points.size()];
      v[lane] = point.first;
      rs[lane] = point.second;
    }
    Lanes stopping, slope, room;
    LaneMask covered;
    table.Lines(v, rs, stopping, slope, room, covered);
    for (int lane = 0; lane < kSiteLanes; ++lane) {
      const double row = rs[lane] * 50.0, column = v[lane] * 500.0;
      const bool inside = row >= 0.0 && row < 299.0 && column >= 0.0 && column < 2749.0;
      ASSERT_EQ(covered[lane] != 0, inside) << v[lane] << " " << rs[lane];
      StoppingLine line;
      ASSERT_EQ(table.Line(v[lane], rs[lane], line), inside);
      if (!inside) continue;
      const int j = static_cast<int>(row), i = static_cast<int>(column);
      const double* lower = values.data() + j * STP::kColumns + i;
      const double* upper = lower + STP::kColumns;
      const double atLeft = lower[0] + (row - j) * (upper[0] - lower[0]);
      const double atRight = lower[1] + (row - j) * (upper[1] - lower[1]);
      EXPECT_EQ(stopping[lane], atLeft + (column - i) * (atRight - atLeft));
      EXPECT_EQ(slope[lane], (atRight - atLeft) * 500.0);
      EXPECT_EQ(room[lane], v[lane] - i / 500.0);
      EXPECT_EQ(line.stopping, stopping[lane]);
      EXPECT_EQ(line.slope, slope[lane]);
      EXPECT_EQ(line.room, room[lane]);
    }
  }
}
