#include "physics/ssf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "physics/scattering_tables.h"
#include "support/test_support.h"

namespace orvane {
namespace {

using orvane_test::ReadFile;
using orvane_test::TempDir;
using orvane_test::WriteFile;
using scattering_test::ScopedTableDirectory;

SSF Screening(int z1, int z2, int type) {
  SSF ssf;
  ssf.Init(z1, z2, type);
  return ssf;
}

TEST(AnalyticScreening, FirstEntryIsTheSumOfTheCoefficients) {
  EXPECT_NEAR(Screening(14, 5, kZblUniversal).Phi[0], 1.0, 1e-12);
  EXPECT_NEAR(Screening(14, 5, kMoliere).Phi[0], 1.0, 1e-12);
  EXPECT_NEAR(Screening(14, 5, kThomasFermi).Phi[0], 1.0, 1e-12);
  EXPECT_NEAR(Screening(14, 5, kBohr).Phi[0], 1.0, 1e-12);
  EXPECT_NEAR(Screening(14, 5, kLenzJensen).Phi[0], 1.00008, 1e-12);
}

TEST(AnalyticScreening, ScreeningLengthOfThePair) {
  EXPECT_DOUBLE_EQ(Screening(1, 1, kZblUniversal).a, 0.2341883);
  EXPECT_DOUBLE_EQ(Screening(14, 5, kBohr).a,
                   0.4683766 / (std::pow(14.0, 0.23) + std::pow(5.0, 0.23)));
}

TEST(AnalyticScreening, ZblValuesAndDerivativeAtTheSamplePoints) {
  const SSF ssf = Screening(14, 5, kZblUniversal);
  for (int k : {1, 10, 200, 999}) {
    const double x = 0.005 * k / ssf.a;
    const double phi = 0.18179 * std::exp(-3.2 * x) + 0.50986 * std::exp(-0.9423 * x) +
                       0.28018 * std::exp(-0.4029 * x) + 0.02817 * std::exp(-0.2016 * x);
    EXPECT_NEAR(ssf.Phi[k], phi, 1e-15) << k;
  }
  for (int k = 1; k < SSF::kPoints - 1; ++k) {  // dPhi/dr per angstrom, by central differences
    const double difference = (ssf.Phi[k + 1] - ssf.Phi[k - 1]) / 0.01;
    EXPECT_NEAR(ssf.dPhi[k], difference, 3e-3 * std::fabs(difference)) << k;
  }
}

TEST(AnalyticScreening, BohrIsOneExponential) {
  const SSF ssf = Screening(6, 6, kBohr);
  EXPECT_NEAR(ssf.Phi[100], std::exp(-0.5 / ssf.a), 1e-15);
  EXPECT_NEAR(ssf.dPhi[100], -std::exp(-0.5 / ssf.a) / ssf.a, 1e-13);
}

TEST(AnalyticScreening, ThomasFermiDerivativeIsAnalyticAndFinite) {
  const SSF ssf = Screening(14, 14, kThomasFermi);
  const double scale = std::pow(12.0, 0.6666666);
  const double x = 1.0 / ssf.a;  // r = 1 A, k = 200
  EXPECT_NEAR(ssf.Phi[200], std::pow(1.0 + std::pow(x / scale, 0.8034), -3.7341299477221805),
              1e-15);
  for (int k = 2; k < SSF::kPoints - 1; ++k) {
    const double difference = (ssf.Phi[k + 1] - ssf.Phi[k - 1]) / 0.01;
    EXPECT_NEAR(ssf.dPhi[k], difference, 2e-2 * std::fabs(difference)) << k;
  }
  // The slope diverges at r = 0; the first entry is the mean slope of the
  // first interval.
  EXPECT_TRUE(std::isfinite(ssf.dPhi[0]));
  EXPECT_DOUBLE_EQ(ssf.dPhi[0], (ssf.Phi[1] - ssf.Phi[0]) / 0.005);
  EXPECT_LT(ssf.dPhi[1], ssf.dPhi[0] * 0.5);  // steeper just beyond, as r^-0.2 says
}

TEST(AnalyticScreening, UnknownCodesMeanZbl) {
  const SSF zbl = Screening(14, 5, kZblUniversal);
  for (int code : {7, 100, -1, 65535}) {
    const SSF other = Screening(14, 5, code);
    EXPECT_EQ(other.Phi[300], zbl.Phi[300]) << code;
    EXPECT_EQ(other.dPhi[300], zbl.dPhi[300]) << code;
  }
}

TEST(PairTableName, LetterOfThePairAndTwoDigitNumbers) {
  PairPotentials potentials;
  EXPECT_EQ(PairTableName(14, 5, potentials), "Zel1405.dat");
  const char letters[] = {'Z', 'S', 'T', 'M', 'L', 'B', 'S', 'Z'};
  for (int code = 0; code <= 7; ++code) {
    potentials.Type[5][14] = static_cast<int16_t>(code);
    EXPECT_EQ(PairTableName(5, 14, potentials), std::string(1, letters[code]) + "el0514.dat");
  }
  EXPECT_EQ(PairTableName(14, 5, potentials), "Zel1405.dat");  // the order of the pair counts
}

TEST(PairTableName, ElementsBeyondThePairTableTakeTheDefaultScreening) {
  PairPotentials potentials;
  potentials.Type[99][99] = kBohr;
  EXPECT_EQ(PairTableName(99, 99, potentials), "Bel9999.dat");
  EXPECT_EQ(PairTableName(102, 14, potentials), "Zel10214.dat");
  EXPECT_EQ(PairTableName(14, 100, potentials), "Zel14100.dat");
  const SSF heavy = Screening(102, 100, potentials.At(102, 100));
  EXPECT_NEAR(heavy.Phi[0], 1.0, 1e-12);
}

class SpecificScreening : public testing::Test {
 protected:
  TempDir dir;
  std::string prefix = dir.Path() + "/pre-";  // the prefix is used verbatim
  ScopedTableDirectory tables{prefix};
};

TEST_F(SpecificScreening, ThreeColumnFileIsInterpolatedFromTheSecondRowOn) {
  // Phi and dPhi linear in r from the second row on; the first row is off
  // the line and must never be used.
  std::ostringstream rows;
  rows << "0 9 9\n";
  for (int j = 1; j <= 10; ++j) rows << 0.5 * j << ' ' << 1.0 - 0.05 * j << ' ' << -0.1 * j << '\n';
  WriteFile(prefix + "ssf1405.dat", rows.str());
  const SSF ssf = Screening(14, 5, kSpecificThreeColumns);
  for (int k : {0, 1, 50, 100, 150, 999}) {
    const double r = 0.005 * k;
    EXPECT_NEAR(ssf.Phi[k], 1.0 - 0.1 * r, 1e-12) << k;
    EXPECT_NEAR(ssf.dPhi[k], -0.2 * r, 1e-12) << k;
  }
}

TEST_F(SpecificScreening, TwoColumnFileGetsBackwardDifferencesAndIsWrittenOut) {
  std::ostringstream rows;
  for (int j = 0; j <= 10; ++j) rows << 0.5 * j << ' ' << 0.9 - 0.1 * j << '\n';
  WriteFile(prefix + "ssf1405.wopd", rows.str());
  const SSF ssf = Screening(14, 5, kSpecificTwoColumns);
  EXPECT_NEAR(ssf.Phi[0], 0.9, 1e-12);
  EXPECT_NEAR(ssf.dPhi[0], (0.9 - 1.0) / 0.005, 1e-9);  // Phi before r = 0 is taken as 1
  EXPECT_NEAR(ssf.Phi[100], 0.8, 1e-12);
  EXPECT_NEAR(ssf.dPhi[100], -0.2, 1e-9);

  const std::string written = ReadFile(prefix + "ssf1405.w");
  std::istringstream lines(written);
  std::string line;
  int count = 0;
  std::string first, second, last;
  while (std::getline(lines, line)) {
    if (count == 0) first = line;
    if (count == 1) second = line;
    last = line;
    ++count;
  }
  EXPECT_EQ(count, 1000);
  EXPECT_EQ(first, "0 0.9 -20");
  EXPECT_EQ(second, "0.005 0.899 -0.2");
  EXPECT_EQ(last.substr(0, 6), "4.995 ");
  EXPECT_EQ(written.back(), '\n');

  // The written table reads back as a three-column file.
  std::rename((prefix + "ssf1405.w").c_str(), (prefix + "ssf1405.dat").c_str());
  const SSF again = Screening(14, 5, kSpecificThreeColumns);
  EXPECT_NEAR(again.Phi[500], ssf.Phi[500], 1e-6);
  EXPECT_NEAR(again.dPhi[500], ssf.dPhi[500], 1e-6);
}

TEST_F(SpecificScreening, UnwritableOutputIsSilentlySkipped) {
  WriteFile(prefix + "ssf0606.wopd", "0 1\n1 0.5\n2 0.25\n");
  std::filesystem::create_directory(prefix + "ssf0606.w");  // cannot be opened as a file
  testing::internal::CaptureStderr();
  const SSF ssf = Screening(6, 6, kSpecificTwoColumns);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_NEAR(ssf.Phi[100], 0.625, 1e-12);  // from the second and third rows
}

TEST_F(SpecificScreening, AThousandRowsAreRead) {
  std::ostringstream rows;
  for (int j = 0; j < 1000; ++j) rows << 0.005 * j << ' ' << 1.0 << ' ' << 0.0 << '\n';
  WriteFile(prefix + "ssf1405.dat", rows.str());
  EXPECT_EQ(Screening(14, 5, kSpecificThreeColumns).Phi[999], 1.0);
}

using SpecificScreeningDeathTest = SpecificScreening;

TEST_F(SpecificScreeningDeathTest, MissingFilesEndTheRunWithTheirMessages) {
  EXPECT_EXIT(Screening(14, 5, kSpecificThreeColumns), testing::ExitedWithCode(300 & 0xFF),
              "^# Error: SSF::Init, I can't read the specific screening function " + prefix +
                  "ssf1405.dat\n$");
  EXPECT_EXIT(Screening(14, 5, kSpecificTwoColumns), testing::ExitedWithCode(300 & 0xFF),
              "^# Error, SSF::Init, I can't read the specific screening function " + prefix +
                  "ssf1405.wopd\n$");
}

TEST_F(SpecificScreeningDeathTest, FilesTheTableCannotHoldAreRejected) {
  std::ostringstream rows;
  for (int j = 0; j < 1001; ++j) rows << 0.005 * j << " 1 0\n";
  WriteFile(prefix + "ssf1405.dat", rows.str());
  EXPECT_EXIT(Screening(14, 5, kSpecificThreeColumns), testing::ExitedWithCode(300 & 0xFF),
              "^# Error: SSF::Init, more than 1000 rows in the specific screening function " +
                  prefix + "ssf1405.dat\n$");

  WriteFile(prefix + "ssf1405.dat", "0 1 0\n");
  EXPECT_EXIT(Screening(14, 5, kSpecificThreeColumns), testing::ExitedWithCode(300 & 0xFF),
              "fewer than 2 rows in the specific screening function");

  WriteFile(prefix + "ssf1405.wopd", "0 1\n0.5 0.8\n0.5 0.7\n");
  EXPECT_EXIT(Screening(14, 5, kSpecificTwoColumns), testing::ExitedWithCode(300 & 0xFF),
              "r does not increase at row 3 of the specific screening function");
}

}  // namespace
}  // namespace orvane
