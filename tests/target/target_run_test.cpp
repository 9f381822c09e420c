// End-to-end runs of the binary that build the target: the default layer,
// the density created once and read back, layer printouts and refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

using namespace orvane_test;

namespace {

constexpr std::size_t kSiliconTableBytes = 8u * 112 * 112 * 112;

// The test's own copy of the prepared physics tables, with the density
// tables in another directory of the test's own.
std::string Environment(const TempDir& dir, const std::string& densities) {
  return TablesEnvironment(dir) + " EDTDIR='" + densities + "/'";
}

class TargetRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir_.File("edt"));
    std::filesystem::copy_file(ShippedDensityDir() + "N14.den", dir_.File("edt/N14.den"));
  }

  RunResult Run(const std::string& parameters) {
    WriteFile(dir_.File("p.in"), parameters);
    return RunOrvane(dir_.Path(), "p.in", Environment(dir_, dir_.File("edt")));
  }

  // A small silicon density table in text form, so that a run needs not
  // create one.
  void ProvideSiliconDensity() {
    WriteFile(dir_.File("edt/EDT_Si"), "text\ntext\n5.431 2 5.431 2 5.431 2\n1 1 1 1 1 1 1 1\n");
  }

  TempDir dir_;
};

}  // namespace

TEST_F(TargetRun, TheSiliconDensityIsCreatedOnceAndReadBackAfterwards) {
  const RunResult first = Run("NumberOfImplants 1\n");
  ASSERT_EQ(first.status, 0) << first.err;
  const std::string edt = dir_.File("edt/");
  EXPECT_NE(first.err.find("# Error: EDT::ReadTable3D, File not found: " + edt +
                           "EDT_Si\n"
                           "# Reading (N14.den) (" +
                           edt +
                           "N14.den) ND = 760\n"
                           "# Creating Isolate Atom Density Superposition in EDT_Si\n"),
            std::string::npos)
      << first.err;
  EXPECT_NE(first.err.find("# Binary 3D density table written (" + edt + "EDT_Si.lit)\n"),
            std::string::npos);
  EXPECT_EQ(ReadFile(edt + "EDT_Si.lit").size(), 301 + kSiliconTableBytes);

  const RunResult second = Run("NumberOfImplants 1\n");
  ASSERT_EQ(second.status, 0) << second.err;
  const std::string bytes = std::to_string(kSiliconTableBytes);
  EXPECT_NE(second.err.find("# 3D binary density table read\n#\t(" + edt + "EDT_Si.lit) " + bytes +
                            "/" + bytes + "\n"),
            std::string::npos)
      << second.err;
  EXPECT_EQ(second.err.find("Creating"), std::string::npos);
}

TEST_F(TargetRun, WithoutLayerKeywordsBoronGoesIntoCrystallineSilicon) {
  ProvideSiliconDensity();
  const RunResult r = Run("Verbose On NumberOfImplants 1\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n==> CRISTALLINE layer ( 0 to 1e+09 ) A\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    Atom 2 : FACE CENTERED(         0,         0,         0 ) 15 eV\n"
                       "    Atom 2 : FACE CENTERED(      0.25,      0.25,      0.25 ) 15 eV\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("    Cell volume        = 160.191 A^3\n"), std::string::npos);
  EXPECT_NE(r.out.find("    Front surface at 0 A\n    Back surface at 1e+09 A\n"),
            std::string::npos);
  EXPECT_EQ(ReadFile(dir_.File("Layer_01.xyz")).substr(0, 9), "1728\n\nSi ");
  EXPECT_NE(r.err.find("(" + dir_.File("edt/EDT_Si") + ")"), std::string::npos) << r.err;
}

TEST_F(TargetRun, AmorphousAloneRunsBoronIntoAmorphousSilicon) {
  ProvideSiliconDensity();
  const RunResult r = Run("Amorphous 2 Verbose On NumberOfImplants 1\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n==> AMORPHOUS layer ( 0 to 1e+09 ) A\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("    Atom 2 : FACE CENTERED("), std::string::npos);
  EXPECT_EQ(r.out.find("==> CRISTALLINE"), std::string::npos);
  EXPECT_NE(r.err.find("(" + dir_.File("edt/EDT_Si") + ")"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Creating"), std::string::npos);
}

TEST_F(TargetRun, ANamedTextDensityIsReadAndConverted) {
  WriteFile(dir_.File("edt/Si.edt"), "text\ntext\n5.431 2 5.431 2 5.431 2\n1 1 1 1 1 1 1 1\n");
  const RunResult r = Run("EDTFile[ Si.edt ] NumberOfImplants 1\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("# 3D ASCII density table read\n\t(" + dir_.File("edt/Si.edt") + ")\n"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(FileExists(dir_.File("edt/Si.edt.lit")));
}

TEST_F(TargetRun, ALayerThatCannotBeBuiltStopsTheRunBeforeAnySimulation) {
  const RunResult r = Run("LatticeParameter 5.431 -1 5.431 NumberOfImplants 1\n");
  EXPECT_EQ(r.status, 408 & 0xFF);
  EXPECT_NE(r.err.find("# Error: MakeLayers, Layer 1 cannot be built: the cell lengths"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out.find("Ion      Depth"), std::string::npos);
  EXPECT_FALSE(FileExists(dir_.File("Dp.in/MaxAmorf_vs_Dose.dat")));

  TempDir other;
  WriteFile(other.File("p.in"), "XTal 2 9 0 0 0 15 NextLayer NumberOfImplants 1\n");
  const RunResult type = RunOrvane(other.Path(), "p.in", Environment(other, other.Path()));
  EXPECT_EQ(type.status, 408 & 0xFF);
  EXPECT_NE(type.err.find("basis atom 1 has the lattice type 9, which must lie in 1..6"),
            std::string::npos)
      << type.err;
}

TEST_F(TargetRun, AMissingIsolatedAtomDensityEndsTheRun) {
  TempDir empty;
  WriteFile(empty.File("p.in"), "NumberOfImplants 1\n");
  const RunResult r = RunOrvane(empty.Path(), "p.in", Environment(empty, empty.Path()));
  EXPECT_EQ(r.status, 300 & 0xFF);
  EXPECT_NE(
      r.err.find("# Error: EDT1D::ReadTable, File (1D) not found: " + empty.Path() + "/N14.den\n"),
      std::string::npos)
      << r.err;
}
