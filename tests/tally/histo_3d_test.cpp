#include "tally/histo_3d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "support/test_support.h"
#include "tally/ion_coordinates.h"

using namespace orvane;
using orvane_test::ReadFile;
using orvane_test::TempDir;

namespace {

constexpr int kCells = Histo3D::kCells;
constexpr std::size_t kBinarySize = 12 + 48 + 1000000;

// The frame whose rows change nothing.
const Axes kIdentity{};

struct BinaryHisto {
  int32_t cells[3];
  double box[6];
  std::vector<double> conc;
};

BinaryHisto ReadBinary(const std::string& path) {
  const std::string bytes = ReadFile(path);
  BinaryHisto b;
  EXPECT_EQ(bytes.size(), kBinarySize);
  if (bytes.size() != kBinarySize) return b;
  std::memcpy(b.cells, bytes.data(), 12);
  std::memcpy(b.box, bytes.data() + 12, 48);
  b.conc.resize(kCells * kCells * kCells);
  std::memcpy(b.conc.data(), bytes.data() + 60, 1000000);
  return b;
}

double Sum(const std::vector<double>& values) {
  double sum = 0.0;
  for (double v : values) sum += v;
  return sum;
}

bool AllFinite(const std::vector<double>& values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace

TEST(Histo3D, BoxHoldsTheIonsAndTheOriginAndTheTopGoesToTheLastCell) {
  Tally3D tally;
  tally.Add(Vector(100.0, 20.0, -10.0), 1.0, 0.0);
  tally.Add(Vector(50.0, -30.0, 5.0), 2.0, 0.0);
  tally.Add(Vector(-4.0, 0.0, 0.0), 0.5, 0.0);  // backscattered
  const Histo3D h = BuildHisto3D(tally, kIdentity);
  EXPECT_EQ(h.Xmax, 100.0);
  EXPECT_EQ(h.Ymin, -30.0);
  EXPECT_EQ(h.Ymax, 20.0);
  EXPECT_EQ(h.Zmin, -10.0);
  EXPECT_EQ(h.Zmax, 5.0);
  EXPECT_EQ(h.Total, 3.5);
  EXPECT_EQ(h.Outside, 0.5);
  EXPECT_EQ(h.VirtualIons, 3);
  Histo3D copy = h;
  EXPECT_EQ(copy.At(kCells - 1, kCells - 1, 0), 1.0);
  EXPECT_EQ(copy.At(25, 0, kCells - 1), 2.0);
  EXPECT_EQ(Sum(h.Cells), 3.0);
}

TEST(Histo3D, PositionsGoOnceMoreThroughTheImplantFrame) {
  Tally3D tally;
  tally.Add(Vector(10.0, 2.0, 3.0), 1.0, 0.0);
  Axes frame;
  frame.Z = Vector(0.0, 0.0, -1.0);
  const Histo3D h = BuildHisto3D(tally, frame);
  EXPECT_EQ(h.Zmin, -3.0);
  EXPECT_EQ(h.Zmax, 0.0);
}

// A single ion, or ions all at one lateral value, leave no axis without
// extent: the concentrations stay finite and inside the grid.
TEST(Histo3D, SingleIonOrFlatAxesNeverDivideByZero) {
  TempDir dir;
  Tally3D single;
  single.Add(Vector(0.0, 0.0, 0.0), 1.0, 0.0);  // no extent on any axis
  const Histo3D h = BuildHisto3D(single, kIdentity);
  EXPECT_EQ(h.Xmax, 50.0);
  EXPECT_EQ(h.Ymax - h.Ymin, 50.0);
  EXPECT_EQ(h.dZ(), 1.0);
  SaveHisto3D(single, 1, 1e14, 100.0, true, kIdentity, dir.Path());
  const BinaryHisto b = ReadBinary(dir.File("Ion.01.histo3D.bin"));
  EXPECT_TRUE(AllFinite(b.conc));
  // 1e14 at/cm^2 over 100 A^2 is one atom, in a cell of 1 A^3 = 1e-24 cm^3.
  EXPECT_DOUBLE_EQ(b.conc[0], 1e24);
  EXPECT_EQ(ReadFile(dir.File("Ion.01.histo3D.dat")).find("nan"), std::string::npos);

  Tally3D line;  // every ion at Y = 0 and Z = 0
  line.Add(Vector(10.0, 0.0, 0.0), 1.0, 0.0);
  line.Add(Vector(30.0, 0.0, 0.0), 1.0, 0.0);
  SaveHisto3D(line, 2, 1e14, 100.0, false, kIdentity, dir.Path());
  EXPECT_TRUE(AllFinite(ReadBinary(dir.File("Ion.02.histo3D.bin")).conc));
}

TEST(Histo3D, BinaryFileHoldsTheGridOfTheImplantedAtoms) {
  TempDir dir;
  Tally3D tally;
  tally.Add(Vector(120.0, 7.0, -3.0), 1.0, 0.0);
  tally.Add(Vector(60.0, -5.0, 9.0), 1.0, 0.0);
  tally.Add(Vector(-1.0, 2.0, 2.0), 2.0, 0.0);  // outside: half of the real ions
  const double dose = 1e15, area = 29.5;
  SaveHisto3D(tally, 4, dose, area, false, kIdentity, dir.Path());
  EXPECT_FALSE(orvane_test::FileExists(dir.File("Ion.04.histo3D.dat")));
  const BinaryHisto b = ReadBinary(dir.File("Ion.04.histo3D.bin"));
  EXPECT_EQ(b.cells[0], 50);
  EXPECT_EQ(b.cells[1], 50);
  EXPECT_EQ(b.cells[2], 50);
  const double box[6] = {0.0, 120.0, -5.0, 7.0, -3.0, 9.0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b.box[i], box[i]);
  // The atoms in the grid: half of the dose over the window area.
  const double volume = 120.0 / 50 * 12.0 / 50 * 12.0 / 50 * 1e-24;
  EXPECT_NEAR(Sum(b.conc) * volume, dose * area * 1e-16 / 2, 1e-12 * dose * area * 1e-16);
  // ix slowest, iz fastest: the deepest ion lies at the top of X and Y and
  // the bottom of Z.
  EXPECT_GT(b.conc[(49 * 50 + 49) * 50 + 0], 0.0);
}

TEST(Histo3D, TextFileHasBlocksForThePlottingProgram) {
  TempDir dir;
  Tally3D tally;
  tally.Add(Vector(100.0, 10.0, 10.0), 3.0, 0.0);
  tally.Add(Vector(-2.0, 0.0, 0.0), 1.0, 0.0);
  SaveHisto3D(tally, 1, 1e14, 100.0, true, kIdentity, dir.Path());
  std::istringstream in(ReadFile(dir.File("Ion.01.histo3D.dat")));
  std::string line;
  const char* header[] = {"# Real Ions    = 4.0",
                          "# Virtual Ions = 2",
                          "# Real Ions outside = 25.00 %",
                          "# Volume cell  = 8e-26 cm^3",
                          "# Format:",
                          "#   X (nm)     Y (nm)     Z (nm) Conc(at/cm^3)"};
  for (const char* expected : header) {
    std::getline(in, line);
    EXPECT_EQ(line, expected);
  }
  std::getline(in, line);
  EXPECT_EQ(line, "      0.00       0.00       0.00             0");
  int data = 1, empty = 0, emptyRuns = 0;
  std::string last, previous;
  while (std::getline(in, line)) {
    if (line.empty()) {
      ++empty;
      if (previous.empty()) ++emptyRuns;  // the second empty line closes an iy run
    } else {
      ++data;
      last = line;
    }
    previous = line;
  }
  EXPECT_EQ(data, 125000);
  EXPECT_EQ(empty, 2550);
  EXPECT_EQ(emptyRuns, 50);
  // 1e14 at/cm^2 over 100 A^2 is one atom, three quarters of it in the last
  // cell of 0.08 A^3.
  EXPECT_EQ(last, "      9.80       0.98       0.98     9.375e+24");
}

TEST(Histo3DDeathTest, TallyWithoutWeightEndsTheRun) {
  Tally3D empty;
  EXPECT_EXIT(SaveHisto3D(empty, 1, 1e14, 100.0, false, kIdentity, "."),
              testing::ExitedWithCode(403 & 0xFF), "^RealIons <=0\n$");
}

TEST(SaveCoordinates, OneLinePerIonThenTheDoseAndIons) {
  TempDir dir;
  Tally3D tally;
  tally.Add(Vector(123.456, -7.5, 0.004), 0.5, 1234.5678);
  tally.Add(Vector(-2.0, 3.0, 4.0), 1.25, 10.0);
  SaveCoordinates(tally, 7, 1e14, dir.Path());
  EXPECT_EQ(ReadFile(dir.File("Ion.07.coordinates.dat")),
            "# Format\n"
            "#    X (A)      Y (A)      Z (A) Stat. Weigth Dist. travel. (A)\n"
            "    123.46      -7.50       0.00     0.500000    1234.57\n"
            "     -2.00       3.00       4.00     1.250000      10.00\n"
            "# Dose (at/cm^2) Real_Ions Virtual_Ions\n"
            "#          1e+14         2            2\n");
  testing::internal::CaptureStderr();
  SaveCoordinates(tally, 7, 1e14, "/nonexistent-dir");
  SaveHisto3D(tally, 7, 1e14, 100.0, true, kIdentity, "/nonexistent-dir");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Error: SaveCoordinates, Can't create /nonexistent-dir/Ion.07.coordinates.dat\n"
            "# Error: SaveHisto3D, Can't create /nonexistent-dir/Ion.07.histo3D.dat\n"
            "# Error: SaveHisto3D, Can't create /nonexistent-dir/Ion.07.histo3D.bin\n");
}
