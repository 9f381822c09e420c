#include "target/edt3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>
#include <vector>

#include "target_test_support.h"

using namespace orvane;
using orvane_test::FileExists;
using orvane_test::ReadFile;
using orvane_test::ScopedDensityDir;
using orvane_test::TempDir;
using orvane_test::WriteFile;

namespace {

// A box of side 4 A with 4 points per axis (spacing 1 A, points at -2..1)
// holding the positive linear field 20 + x + 2y + 3z.
EDT LinearField(int n = 4, double side = 4.0) {
  EDT table;
  table.Initialise(side, side, side, n, n, n);
  const double h = side / n;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      for (int k = 0; k < n; ++k) {
        table.Set(i, j, k,
                  20.0 + (i - n / 2.0) * h + 2.0 * (j - n / 2.0) * h + 3.0 * (k - n / 2.0) * h);
      }
    }
  }
  return table;
}

void ExpectSameTable(const EDT& a, const EDT& b) {
  for (int axis = 0; axis < 3; ++axis) {
    ASSERT_EQ(a.Points(axis), b.Points(axis));
    ASSERT_EQ(a.Side(axis), b.Side(axis));
  }
  for (int i = 0; i < a.Points(0); ++i) {
    for (int j = 0; j < a.Points(1); ++j) {
      for (int k = 0; k < a.Points(2); ++k) ASSERT_EQ(a.At(i, j, k), b.At(i, j, k));
    }
  }
}

std::string TextTable(double side, int n, double value) {
  std::ostringstream text;
  text << "free text\nmore text\n"
       << side << " " << n << "\t" << side << "\n"
       << n << " " << side << " " << n << " rest of the line\n";
  for (int v = 0; v < n * n * n; ++v) text << value << (v % 3 ? " " : "\n");
  return text.str();
}

// A positive field without any regularity on a grid of unit spacing whose
// points lie at whole coordinates (even counts), its values set in a
// shuffled order.
EDT IrregularField(int nx, int ny, int nz) {
  EDT table;
  table.Initialise(nx, ny, nz, nx, ny, nz);
  std::vector<int> order(static_cast<std::size_t>(nx) * ny * nz);
  for (std::size_t n = 0; n < order.size(); ++n) order[n] = static_cast<int>(n);
  std::shuffle(order.begin(), order.end(), std::mt19937(7));
  for (int n : order) {
    const int i = n / (ny * nz), j = n / nz % ny, k = n % nz;
    table.Set(i, j, k, 1.0 + std::fmod(0.618034 * n * n + 0.1 * i, 1.0));
  }
  return table;
}

// Halfway between two neighbouring grid points along any axis the look-up
// gives the mean of their values (the weight 0.5, the other axes' weights
// 0, up to the rounding of the coordinates), and at the points themselves
// their values; the look-up along a line gives what the single one gives.
void ExpectTheGridValuesAreInterpolated(const EDT& table) {
  const int n[3] = {table.Points(0), table.Points(1), table.Points(2)};
  for (int i = 0; i + 1 < n[0]; ++i) {
    for (int j = 0; j + 1 < n[1]; ++j) {
      for (int k = 0; k + 1 < n[2]; ++k) {
        const double x = i - n[0] / 2, y = j - n[1] / 2, z = k - n[2] / 2;
        const double v = table.At(i, j, k);
        ASSERT_NEAR(table.Density(x, y, z), v, 1e-12);
        ASSERT_NEAR(table.Density(x + 0.5, y, z), 0.5 * (v + table.At(i + 1, j, k)), 1e-12);
        ASSERT_NEAR(table.Density(x, y + 0.5, z), 0.5 * (v + table.At(i, j + 1, k)), 1e-12);
        ASSERT_NEAR(table.Density(x, y, z + 0.5), 0.5 * (v + table.At(i, j, k + 1)), 1e-12);
      }
      double along[64];
      const int count = std::min(64, 2 * n[2] - 1);
      table.DensitiesAlong(i - n[0] / 2, j - n[1] / 2, -n[2] / 2, 0.0, 0.0, 0.5, count, along);
      for (int m = 0; m < count; ++m) {
        ASSERT_EQ(along[m], table.Density(i - n[0] / 2, j - n[1] / 2, -n[2] / 2 + 0.5 * m));
      }
    }
  }
}

class EDTFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.Path() + "/" + name; }
  TempDir dir_;
  ScopedDensityDir scope_{dir_.Path()};
};

}  // namespace

TEST(EDTLookUp, GridPointsHoldTheirValuesAndLinearFieldsAreReproduced) {
  const EDT table = LinearField();
  EXPECT_DOUBLE_EQ(table.Density(-2.0, -2.0, -2.0), table.At(0, 0, 0));
  EXPECT_DOUBLE_EQ(table.Density(0.0, 1.0, -1.0), table.At(2, 3, 1));
  for (double x : {-1.7, -0.2, 0.45}) {
    for (double z : {-1.9, 0.3, 0.99}) {
      EXPECT_NEAR(table.Density(x, 0.25, z), 20.0 + x + 0.5 + 3.0 * z, 1e-12);
    }
  }
}

TEST(EDTLookUp, TheCellRepeatsPeriodically) {
  const EDT table = LinearField();
  // A point on a face of the box and the same point one side further.
  EXPECT_EQ(table.Density(-2.0, 0.3, 0.7), table.Density(2.0, 0.3, 0.7));
  for (double shift : {4.0, -4.0, 40.0, -12.0}) {
    EXPECT_NEAR(table.Density(0.3 + shift, -1.1, 0.6), table.Density(0.3, -1.1, 0.6), 1e-12);
    EXPECT_NEAR(table.Density(0.3, -1.1 + shift, 0.6 - shift), table.Density(0.3, -1.1, 0.6),
                1e-12);
  }
}

TEST(EDTLookUp, TheLastIntervalExtrapolatesFromTheLastTwoPlanes) {
  const EDT table = LinearField();
  // x = 1.5 lies beyond the last grid plane (x = 1): the field is continued.
  EXPECT_NEAR(table.Density(1.5, 0.0, 0.0), 21.5, 1e-12);
}

TEST(EDTLookUp, OddCountsUseTheIntegerHalfForTheIndexAndTheRealHalfForTheWeight) {
  EDT table;
  table.Initialise(5.0, 2.0, 2.0, 5, 2, 2);
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 2; ++j) {
      for (int k = 0; k < 2; ++k) table.Set(i, j, k, 10.0 + i);
    }
  }
  // x = 0: index 2, weight 0 - (2 - 2.5) = 0.5.
  EXPECT_DOUBLE_EQ(table.Density(0.0, -1.0, -1.0), 12.5);
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 2; ++j) {
      for (int k = 0; k < 2; ++k) table.Set(i, j, k, 10.0 + i * i);
    }
  }
  // x = -0.3: D = -0.3, index trunc(-0.3 + 2) = 1, weight -0.3 - (1 - 2.5) =
  // 1.2, so 11 + 1.2 (14 - 11), continued beyond point 2.
  EXPECT_DOUBLE_EQ(table.Density(-0.3, -1.0, -1.0), 14.6);
  // Near the lower face the index truncates toward zero: D + 2 = -0.3 gives 0.
  EXPECT_DOUBLE_EQ(table.Density(-2.3, -1.0, -1.0), 10.0 + 0.2 * 1.0);
}

TEST(EDTLookUp, EveryPairOfNeighboursIsInterpolatedFromTheValuesSet) {
  ExpectTheGridValuesAreInterpolated(IrregularField(4, 6, 4));
  ExpectTheGridValuesAreInterpolated(IrregularField(6, 4, 8));
  EDT copy = IrregularField(4, 6, 4);
  copy.Set(1, 2, 3, 7.5);  // set again after the others
  ExpectTheGridValuesAreInterpolated(copy);
  ExpectTheGridValuesAreInterpolated(EDT(copy));
}

// The look-ups along a line, located four points at a time, are the single
// look-ups of its points bit for bit: any count, odd and even grid counts,
// lines that wrap round the box many times, points 2^31 periods and more
// away (and beyond 1e15), and points that are not numbers.
TEST(EDTLookUp, TheLookUpsAlongALineAreTheSingleLookUpsOfItsPoints) {
  std::mt19937_64 random(23);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  const double nan = std::nan("");
  for (const EDT& table : {IrregularField(4, 6, 4), IrregularField(5, 3, 7)}) {
    for (double scale : {1.0, 30.0, 4e9, 3e15}) {
      for (int trial = 0; trial < 40; ++trial) {
        const int count = 1 + trial % 37;
        double start[3], step[3];
        for (int axis = 0; axis < 3; ++axis) {
          start[axis] = scale * uniform(random);
          step[axis] = (trial % 3 == 0 ? scale : 1.0) * uniform(random);
        }
        if (trial == 7) start[1] = nan;
        if (trial == 11) step[2] = nan;
        double along[37];
        table.DensitiesAlong(start[0], start[1], start[2], step[0], step[1], step[2], count, along);
        double point[3] = {start[0], start[1], start[2]};
        for (int m = 0; m < count; ++m) {
          const double single = table.Density(point[0], point[1], point[2]);
          ASSERT_EQ(std::memcmp(&along[m], &single, sizeof single), 0)
              << scale << " " << trial << " " << m << ": " << along[m] << " " << single;
          for (int axis = 0; axis < 3; ++axis) point[axis] += step[axis];
        }
      }
    }
  }
}

TEST(EDTLookUp, EmptyCornersTakeTheLargestValueAndNothingIsBelow1e10) {
  EDT table;
  table.Initialise(2.0, 2.0, 2.0, 2, 2, 2);
  table.Set(1, 1, 1, 3.0);
  EXPECT_DOUBLE_EQ(table.Density(-0.5, -0.5, -0.5), 3.0);
  EDT zeros;
  zeros.Initialise(2.0, 2.0, 2.0, 2, 2, 2);
  EXPECT_EQ(zeros.Density(0.1, 0.2, 0.3), 1e-10);
  EDT negative = zeros;
  for (int i = 0; i < 8; ++i) negative.Set(i / 4, i / 2 % 2, i % 2, -1.0);
  EXPECT_EQ(negative.Density(0.1, 0.2, 0.3), 1e-10);
}

// Whether a look-up must look for empty corners follows every value set,
// in the table and in its copies.
TEST(EDTLookUp, ACornerEmptiedOrFilledLaterIsLookedUpAsItNowStands) {
  EDT table;
  table.Initialise(2.0, 2.0, 2.0, 2, 2, 2);
  for (int i = 0; i < 8; ++i) table.Set(i / 4, i / 2 % 2, i % 2, 2.0);
  EXPECT_DOUBLE_EQ(table.Density(-0.5, -0.5, -0.5), 2.0);
  table.Set(0, 0, 0, 0.0);
  EXPECT_DOUBLE_EQ(table.Density(-1.0, -1.0, -1.0), 2.0);
  EDT shared;
  shared.ShareGrid(table);
  EXPECT_DOUBLE_EQ(shared.Density(-1.0, -1.0, -1.0), 2.0);
  EXPECT_DOUBLE_EQ(EDT(table).Density(-1.0, -1.0, -1.0), 2.0);
  table.Set(0, 0, 0, 1.0);
  EXPECT_DOUBLE_EQ(table.Density(-1.0, -1.0, -1.0), 1.0);
  EXPECT_DOUBLE_EQ(table.Density(-0.5, -1.0, -1.0), 1.5);
}

TEST_F(EDTFileTest, TheBinaryFileHasItsHeaderAndReadsBackExactly) {
  EDT table = LinearField(4, 4.25);
  testing::internal::CaptureStderr();
  table.SaveBinTable3D(Path("T"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Binary 3D density table written (" + Path("T.lit") + ")\n");
  const std::string bytes = ReadFile(Path("T.lit"));
  ASSERT_EQ(bytes.size(), 301u + 64u * 8u);
  const std::string text = " EDT File ( " + Path("T.lit") +
                           " ) \n  LADO (A)   N_POINTS\n 4.250000 4\n 4.250000 4\n 4.250000 4 ";
  EXPECT_EQ(bytes.substr(0, text.size()), text);
  EXPECT_EQ(bytes[text.size()], '\0');
  EXPECT_EQ(bytes.substr(text.size() + 1, 299 - text.size()), std::string(299 - text.size(), ' '));
  EXPECT_EQ(bytes[300], '\n');
  double first;
  std::memcpy(&first, bytes.data() + 301, sizeof first);
  EXPECT_EQ(first, table.At(0, 0, 0));

  EDT back;
  testing::internal::CaptureStderr();
  EXPECT_EQ(back.ReadTable3D("T", 1), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# 3D binary density table read\n#\t(" + Path("T.lit") + ") 512/512\n");
  ExpectSameTable(back, table);
}

// Tables larger than a buffer of the reading and writing (65536 values).
TEST_F(EDTFileTest, LargeTablesReadBackExactlyInBothForms) {
  const EDT table = IrregularField(42, 44, 40);
  testing::internal::CaptureStderr();
  table.SaveBinTable3D(Path("T"));
  table.SaveASCIITable3D(Path("U"));
  EDT binary, text;
  EXPECT_EQ(binary.ReadTable3D("T", 0), 0);
  EXPECT_EQ(text.ReadTable3D("U", 0), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadFile(Path("T.lit")).size(), 301u + 42u * 44u * 40u * 8u);
  ExpectSameTable(binary, table);
  ExpectSameTable(text, table);
  ExpectTheGridValuesAreInterpolated(binary);
}

TEST_F(EDTFileTest, ReadsTheBigFileThenTheLitFileThenTheText) {
  testing::internal::CaptureStderr();
  WriteFile(Path("T"), TextTable(3.0, 2, 1.0));
  LinearField().SaveBinTable3D(Path("T"));
  std::filesystem::rename(Path("T.lit"), Path("T.big"));
  EDT lit;
  lit.Initialise(3.0, 3.0, 3.0, 2, 2, 2);
  lit.Set(0, 0, 0, 7.0);
  lit.SaveBinTable3D(Path("T"));

  EDT table;
  EXPECT_EQ(table.ReadTable3D("T", 1), 0);
  EXPECT_EQ(table.Points(0), 4);
  std::filesystem::remove(Path("T.big"));
  EXPECT_EQ(table.ReadTable3D("T", 1), 0);
  EXPECT_EQ(table.At(0, 0, 0), 7.0);
  std::filesystem::remove(Path("T.lit"));
  EXPECT_EQ(table.ReadTable3D("T", 0), 0);
  EXPECT_FALSE(FileExists(Path("T.lit")));
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("# 3D ASCII density table read\n\t(" + Path("T") + ")\n"),
            std::string::npos);
  EXPECT_EQ(table.Side(1), 3.0);
  EXPECT_EQ(table.At(1, 1, 1), 1.0);
}

TEST_F(EDTFileTest, ATextTableReadWithConversionIsFoundInBinaryNextTime) {
  WriteFile(Path("Si.edt"), TextTable(5.431, 3, 0.25));
  EDT text;
  testing::internal::CaptureStderr();
  EXPECT_EQ(text.ReadTable3D("Si.edt", 1), 0);
  ASSERT_TRUE(FileExists(Path("Si.edt.lit")));
  std::filesystem::remove(Path("Si.edt"));
  EDT binary;
  EXPECT_EQ(binary.ReadTable3D("Si.edt", 1), 0);
  testing::internal::GetCapturedStderr();
  ExpectSameTable(binary, text);
}

TEST_F(EDTFileTest, AMissingTableIsReportedAndLeavesTheRecordAsItWas) {
  EDT table;
  testing::internal::CaptureStderr();
  EXPECT_EQ(table.ReadTable3D("EDT_Si", 1), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Error: EDT::ReadTable3D, File not found: " + Path("EDT_Si") + "\n");
  EXPECT_TRUE(table.Empty());
}

TEST_F(EDTFileTest, AShortBinaryFileOfThisProgramIsPassedOverAndMadeAgain) {
  testing::internal::CaptureStderr();
  LinearField().SaveBinTable3D(Path("T"));
  std::filesystem::resize_file(Path("T.lit"), 301 + 10 * 8);
  EDT table;
  // Without the text file the caller superposes the density afresh.
  EXPECT_EQ(table.ReadTable3D("T", 1), 1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(") 80/512\n# Warning: EDT::ReadTable3D, " + Path("T.lit") +
                     " is short; it is made again\n"),
            std::string::npos)
      << err;
  // With the text file it is read again and the binary file replaced whole.
  WriteFile(Path("T"), TextTable(4.0, 4, 2.5));
  testing::internal::CaptureStderr();
  EXPECT_EQ(table.ReadTable3D("T", 1), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(table.At(3, 3, 3), 2.5);
  EXPECT_EQ(ReadFile(Path("T.lit")).size(), 301u + 512u);
}

TEST_F(EDTFileTest, AShortTableFromElsewhereEndsTheRun) {
  testing::internal::CaptureStderr();
  LinearField().SaveBinTable3D(Path("B"));
  testing::internal::GetCapturedStderr();
  std::filesystem::rename(Path("B.lit"), Path("B.big"));
  std::filesystem::resize_file(Path("B.big"), 301 + 511);
  EDT table;
  EXPECT_EXIT(table.ReadTable3D("B", 1), testing::ExitedWithCode(300 & 0xFF),
              "# Error: EDT::ReadTable3D, .*B.big holds fewer than the 64 values of its grid");
  std::string text = TextTable(4.0, 4, 1.0);
  WriteFile(Path("T"), text.substr(0, text.size() - 6));  // three values fewer
  EXPECT_EXIT(table.ReadTable3D("T", 1), testing::ExitedWithCode(300 & 0xFF),
              "# Error: EDT::ReadTable3D, .*T holds fewer than the 64 values of its grid");
}

TEST_F(EDTFileTest, TheTextFormReadsBackExactly) {
  EDT table = LinearField(4, 4.25);
  table.Set(1, 2, 3, 1.0 / 3.0);
  testing::internal::CaptureStderr();
  table.SaveASCIITable3D(Path("T"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# ASCII 3D density table written (" + Path("T") + ")\n");
  const std::string text = ReadFile(Path("T"));
  EXPECT_EQ(text.substr(0, text.find("\n4.25 4\n4.25 4\n4.25 4\n")),
            " EDT File (" + Path("T") + ") for ?\n  LADO (A)   N_POINTS");
  EDT back;
  testing::internal::CaptureStderr();
  EXPECT_EQ(back.ReadTable3D("T", 0), 0);
  testing::internal::GetCapturedStderr();
  ExpectSameTable(back, table);
}

TEST_F(EDTFileTest, ALongNameStillLeavesTheGridInTheHeader) {
  const std::string name(230, 'n');
  testing::internal::CaptureStderr();
  LinearField().SaveBinTable3D(Path(name));
  EDT back;
  EXPECT_EQ(back.ReadTable3D(name, 1), 0);
  testing::internal::GetCapturedStderr();
  ExpectSameTable(back, LinearField());
  EXPECT_EQ(ReadFile(Path(name + ".lit")).size(), 301u + 512u);
}

TEST_F(EDTFileTest, TablesWithoutTwoPointsAndAPositiveSidePerAxisAreRefused) {
  EDT table;
  WriteFile(Path("One"), TextTable(5.0, 1, 1.0));
  EXPECT_EXIT(table.ReadTable3D("One", 1), testing::ExitedWithCode(303 & 0xFF),
              "# Error: EDT::ReadTable3D, The table .*One needs at least two grid points and a "
              "positive side along each axis");
  WriteFile(Path("Flat"), TextTable(0.0, 2, 1.0));
  EXPECT_EXIT(table.ReadTable3D("Flat", 1), testing::ExitedWithCode(303 & 0xFF), "positive side");
  WriteFile(Path("Words"), "a\nb\nno numbers here\n");
  EXPECT_EXIT(table.ReadTable3D("Words", 1), testing::ExitedWithCode(303 & 0xFF),
              "No grid in the header of .*Words");
  WriteFile(Path("Bin.big"), "x\ny\n 2 2 2 0 2 2 \n");
  EXPECT_EXIT(table.ReadTable3D("Bin", 1), testing::ExitedWithCode(303 & 0xFF), "Bin.big");
}

TEST_F(EDTFileTest, AFileThatCannotBeCreatedEndsTheRun) {
  const EDT table = LinearField();
  EXPECT_EXIT(table.SaveBinTable3D(Path("no/such")), testing::ExitedWithCode(301 & 0xFF),
              "# Error: EDT::SaveBinTable3D, File not found: .*no/such.lit");
  EXPECT_EXIT(table.SaveASCIITable3D(Path("no/such")), testing::ExitedWithCode(301 & 0xFF),
              "# Error: EDT::SaveASCIITable3D, File not found: .*no/such");
}

TEST(EDTCopy, ACopyOwnsItsOwnValues) {
  EDT a = LinearField();
  EDT b = a;
  b.Set(0, 0, 0, -5.0);
  EXPECT_NE(a.At(0, 0, 0), b.At(0, 0, 0));
  EXPECT_EQ(a.At(1, 2, 3), b.At(1, 2, 3));
  EDT empty;
  b = empty;
  EXPECT_TRUE(b.Empty());
}
