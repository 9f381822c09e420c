#include "target/edt1d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "target_test_support.h"

using namespace orvane;
using orvane_test::ScopedDensityDir;
using orvane_test::TempDir;
using orvane_test::WriteFile;

namespace {

class EDT1DTest : public ::testing::Test {
 protected:
  // Reads the text as the table "t.den"; returns what ReadTable printed.
  std::string Read(EDT1D& table, const std::string& text) {
    WriteFile(dir_.File("t.den"), text);
    testing::internal::CaptureStderr();
    table.ReadTable("t.den", 1);
    return testing::internal::GetCapturedStderr();
  }
  // The same without capturing, for the reads that end the process.
  void ReadOnly(EDT1D& table, const std::string& text) {
    WriteFile(dir_.File("t.den"), text);
    table.ReadTable("t.den", 1);
  }
  std::string Path() const { return dir_.Path() + "/t.den"; }

  TempDir dir_;
  ScopedDensityDir scope_{dir_.Path()};
};

// The interval search described for the look-up: bisection between entries
// 1 and Last.
int Bisect(const EDT1D& table, double r) {
  int lower = 1, upper = table.Last();
  while (upper - lower > 1) {
    const int mid = (lower + upper) / 2;
    if (table.R(mid) > r) {
      upper = mid;
    } else {
      lower = mid;
    }
  }
  return std::min(upper, table.Last());
}

// 4 pi r^2 n(r) integrated with the trapezoidal rule over the look-up.
double Electrons(const EDT1D& table) {
  const double end = table.R(table.Last());
  const int steps = 200000;
  double sum = 0.0, previous = 0.0;
  for (int i = 1; i <= steps; ++i) {
    const double r = end * i / steps;
    const double f = 4.0 * M_PI * r * r * table.Density(r);
    sum += 0.5 * (f + previous) * (end / steps);
    previous = f;
  }
  return sum;
}

}  // namespace

TEST_F(EDT1DTest, ReadsPairsUntilTheFirstNonPositiveDensity) {
  EDT1D table;
  const std::string printed = Read(table, "0.1 5\n0.2 4\n0.3 3\n0.4 0\n0.5 1\n");
  EXPECT_EQ(printed, "(" + Path() + ") ND = 2\n");
  ASSERT_EQ(table.Last(), 2);
  EXPECT_EQ(table.R(2), 0.3);
  EXPECT_EQ(table.LnRho(0), std::log(5.0));
}

TEST_F(EDT1DTest, ANegativeDistanceOrTheEndOfTheFileEndsTheList) {
  EDT1D table;
  Read(table, "0.1 5\n0.2 4\n0.3 3\n0.35 2\n-0.4 1\n0.5 1\n");
  EXPECT_EQ(table.Last(), 3);
  EDT1D unterminated;
  Read(unterminated, "0.1 5 0.2 4\n\n0.3 3");
  EXPECT_EQ(unterminated.Last(), 2);
}

TEST_F(EDT1DTest, KeepsTheFirst2000Pairs) {
  std::ostringstream text;
  for (int i = 1; i <= 2500; ++i) text << 0.01 * i << " " << std::exp(-0.01 * i) << "\n";
  EDT1D table;
  const std::string printed = Read(table, text.str());
  EXPECT_EQ(table.Last(), 1999);
  EXPECT_EQ(table.R(1999), 0.01 * 2000);
  EXPECT_NE(printed.find("ND = 1999\n"), std::string::npos);
}

TEST_F(EDT1DTest, LooksUpTheStoredDensitiesAndInterpolatesTheLogarithm) {
  EDT1D table;
  // Entry 0 takes no part in a look-up, whatever it holds.
  Read(table, "0.05 1e30\n0.1 8\n0.2 4\n0.4 1\n");
  EXPECT_EQ(table.Density(0.0), 0.0);
  EXPECT_EQ(table.Density(-1.0), 0.0);
  EXPECT_NEAR(table.Density(0.1), 8.0, 1e-14);
  EXPECT_NEAR(table.Density(0.2), 4.0, 1e-14);
  EXPECT_NEAR(table.Density(0.4), 1.0, 1e-14);
  // Log-linear: the geometric mean half-way; exponential tails outside.
  EXPECT_NEAR(table.Density(0.15), std::sqrt(32.0), 1e-13);
  EXPECT_NEAR(table.Density(0.05), 8.0 * std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(table.Density(0.6), 0.25, 1e-14);
}

TEST_F(EDT1DTest, TheIntervalIsTheOneThatTheBisectionFinds) {
  EDT1D table;
  std::ostringstream text;
  // Irregular spacing: a geometric run, a gap, then a dense linear run.
  double r = 1e-4;
  for (int i = 0; i < 300; ++i, r *= 1.03) text << r << " " << std::exp(-r) << "\n";
  for (int i = 0; i < 400; ++i, r += 0.01 + 0.002 * (i % 7))
    text << r << " " << std::exp(-r) << "\n";
  Read(table, text.str());
  ASSERT_EQ(table.Last(), 699);
  for (int k = 0; k <= table.Last(); ++k) {
    for (double probe :
         {table.R(k), std::nextafter(table.R(k), 0.0), std::nextafter(table.R(k), 1e9),
          0.5 * (table.R(k) + table.R(std::min(k + 1, table.Last())))}) {
      ASSERT_EQ(table.Index(probe), Bisect(table, probe)) << "r = " << probe;
    }
  }
  for (double probe : {1e-9, 1e-300, 1e3, 1e300})
    EXPECT_EQ(table.Index(probe), Bisect(table, probe));
}

TEST_F(EDT1DTest, TablesThatCannotBeLookedUpAreRefused) {
  EDT1D table;
  EXPECT_EXIT(
      ReadOnly(table, "0.1 5\n0.2 4\n0.3 0\n"), testing::ExitedWithCode(303 & 0xFF),
      "# Error: EDT1D::ReadTable, Fewer than three valid pairs in the \\(1D\\) file: .*t.den");
  EXPECT_EXIT(ReadOnly(table, ""), testing::ExitedWithCode(303 & 0xFF), "Fewer than three");
  EXPECT_EXIT(ReadOnly(table, "0.1 5\n0.3 4\n0.2 3\n0.4 2\n"), testing::ExitedWithCode(303 & 0xFF),
              "The distances do not increase at pair 3 of the \\(1D\\) file");
  EXPECT_DEATH(table.Density(1.0), "Last>=2");
}

TEST_F(EDT1DTest, AMissingFileEndsTheRun) {
  EDT1D table;
  EXPECT_EXIT(
      table.ReadTable("N99.den", 1), testing::ExitedWithCode(300 & 0xFF),
      "\n# Error: EDT1D::ReadTable, File \\(1D\\) not found: " + dir_.Path() + "/N99.den\n");
}

TEST(ShippedDensities, SiliconHoldsFourteenElectrons) {
  ScopedDensityDir scope(orvane_test::ShippedDensityDir());
  EDT1D silicon;
  testing::internal::CaptureStderr();
  silicon.ReadTable("N14.den", 1);
  testing::internal::GetCapturedStderr();
  EXPECT_NEAR(Electrons(silicon), 14.0, 0.14);
}

TEST(ShippedDensities, EveryElementHoldsItsAtomicNumberOfElectrons) {
  ScopedDensityDir scope(orvane_test::ShippedDensityDir());
  auto table = std::make_unique<EDT1D>();
  for (int z = 1; z <= 102; ++z) {
    char name[16];
    std::snprintf(name, sizeof name, "N%02d.den", z);
    testing::internal::CaptureStderr();
    table->ReadTable(name, 1);
    testing::internal::GetCapturedStderr();
    EXPECT_NEAR(Electrons(*table), z, 0.01 * z) << name;
    for (int k = 1; k <= table->Last(); k += 7) {
      ASSERT_EQ(table->Index(table->R(k)), Bisect(*table, table->R(k))) << name;
    }
    // Densities of free atoms fall off monotonically with the distance.
    EXPECT_GT(table->Density(0.5), table->Density(2.0)) << name;
  }
}
