// End-to-end runs of the binary: command line, banner, configuration
// errors, the echo file and the amorphization-versus-dose file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "support/test_support.h"

using namespace orvane_test;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream is(text);
  for (std::string line; std::getline(is, line);) lines.push_back(line);
  return lines;
}

}  // namespace

TEST(Driver, WithoutParameterFile) {
  TempDir dir;
  const RunResult r = RunOrvane(dir.Path(), "", TablesEnvironment(dir));
  EXPECT_EQ(r.status, 300 & 0xFF);
  EXPECT_EQ(r.err, "# Error, I do not known the name of input file.\n");
  EXPECT_EQ(r.out.rfind("\n[ORVANE] Orvane (Version 2004.10.04) DAMAGE1D\n", 0), 0u);
}

TEST(Driver, UnreadableParameterFile) {
  TempDir dir;
  const RunResult r = RunOrvane(dir.Path(), "missing.in", TablesEnvironment(dir));
  EXPECT_EQ(r.status, 300 & 0xFF);
  EXPECT_EQ(r.err, "# Error: Input::ReadParameters, Can't open missing.in\n");
}

TEST(Driver, TenIonsGiveTenAmorphizationLines) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("runs"));
  WriteFile(dir.File("runs/b10.in"), "Dose 1e13 NumberOfImplants 10\n");
  const RunResult r = RunOrvane(dir.Path(), "runs/b10.in", TablesEnvironment(dir));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("\n[ORVANE] Orvane (Version 2004.10.04) DAMAGE1D\n", 0), 0u);
  const std::vector<std::string> lines = Lines(ReadFile(dir.File("Db10.in/MaxAmorf_vs_Dose.dat")));
  ASSERT_EQ(lines.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    double dose = 0, peak = -1, width = 0, areal = -1;
    std::istringstream(lines[i]) >> dose >> peak >> width >> areal;
    EXPECT_DOUBLE_EQ(dose, (i + 2) * 1e12) << lines[i];
  }
  EXPECT_EQ(lines[0], "   2e+12 0.000000 0.100000 0.000000");
  // A second run starts the file afresh.
  ASSERT_EQ(RunOrvane(dir.Path(), "runs/b10.in", TablesEnvironment(dir)).status, 0);
  EXPECT_EQ(Lines(ReadFile(dir.File("Db10.in/MaxAmorf_vs_Dose.dat"))).size(), 10u);
}

TEST(Driver, SimulationsAppendInOrderAndZeroIonsImplantNothing) {
  TempDir dir;
  const RunResult r = RunFile(dir,
                              "NumberOfImplants 2 Dose 1e12 NextSimulation\n"
                              "NumberOfImplants 0 NextSimulation NumberOfImplants 3 Dose 3e12\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(ReadFile(dir.File("Dp.in/MaxAmorf_vs_Dose.dat")));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].substr(0, 8), "   1e+12");
  EXPECT_EQ(lines[1].substr(0, 8), " 1.5e+12");
  EXPECT_EQ(lines[2].substr(0, 8), "   2e+12");
  EXPECT_EQ(lines[4].substr(0, 8), "   4e+12");
  for (const std::string& line : lines) EXPECT_EQ(line.find("inf"), std::string::npos);
}

TEST(Driver, OutputDirectoryDropsTheDirectoriesOfTheName) {
  TempDir dir;
  TempDir elsewhere;
  WriteFile(elsewhere.File("case1"), "NumberOfImplants 1\n");
  const RunResult r =
      RunOrvane(dir.Path(), "'" + elsewhere.File("case1") + "'", TablesEnvironment(dir));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(FileExists(dir.File("Dcase1/Parameters.out")));
}

TEST(Driver, ParameterFileNameNeverReachesAShell) {
  TempDir dir;
  WriteFile(dir.File("x;touch pwned"), "NumberOfImplants 1\n");
  const RunResult r = RunOrvane(dir.Path(), "'x;touch pwned'", TablesEnvironment(dir));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(FileExists(dir.File("Dx;touch pwned/Parameters.out")));
  EXPECT_FALSE(FileExists(dir.File("pwned")));
}

TEST(Configuration, EchoOfDefaultsAndValues) {
  TempDir dir;
  const RunResult r = RunFile(dir, "Dose 1e13 REInterval 100 Therm On\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string echo = ReadFile(dir.File("Dp.in/Parameters.out"));
  const std::vector<std::string> lines = Lines(echo);
  EXPECT_EQ(lines[0], "              Projectiles =          0,0,0,0,0,0,0,0,0,0,");
  EXPECT_NE(echo.find("\n" + std::string(21, ' ') + "Dose =  1.000e+13\n"), std::string::npos);
  EXPECT_NE(
      echo.find("\n" + std::string(15, ' ') + "REInterval = " + std::string(7, ' ') + "100\n"),
      std::string::npos);
  EXPECT_NE(echo.find("\n" + std::string(20, ' ') + "Therm = " + std::string(8, ' ') + "On\n"),
            std::string::npos);
  EXPECT_NE(echo.find("                 HSTFile[ =          Histo1D. \n"), std::string::npos);
  EXPECT_NE(echo.find("\n                   ENERGY =      200.0\n"), std::string::npos);
  // No "Atom": boron into silicon.
  EXPECT_NE(echo.find("[B]\tW =     11.00 amu, Z =   5"), std::string::npos);
  EXPECT_NE(echo.find("[Si]\tW =     28.09 amu, Z =  14"), std::string::npos);
  EXPECT_EQ(echo.find("XTal2"), std::string::npos);
  // Keywords in table order: the last one is AnchoCajas.
  EXPECT_EQ(lines.back(), "               AnchoCajas =      0.000");
}

TEST(Configuration, SimulationBlocksListThePiecesOfDoseSplitting) {
  TempDir dir;
  const RunResult r = RunFile(dir,
                              "NumberOfImplants 1 Dose 1e15 DoseSplitting On NextSimulation\n"
                              "DoseSplitting Off Dose 2e13 ENERGY 5000 Temperature 77\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string echo = ReadFile(dir.File("Dp.in/Parameters.out"));
  const std::string block1 =
      "Implanted atom = 1\n"
      "Energy         = 200.0 eV\n"
      "Tha, Phi       = 0.000, 0.000\tDivergency     = 0.000\n"
      "Implants       = 1\t\tDose           = 1.000e+14at/cm^2\n"
      "DoseSplitting  On\n"
      "DoseDistribution = 1.000e+14,0.0\n"
      "Temperature    = 300.0\t\tRare Event     = 0\n"
      "RS0            = 1.850,1.850,1.850,1.850,1.850,0.0\n\n";
  const std::string block2 =
      "Implanted atom = 1\n"
      "Energy         = 200.0 eV\n"
      "Tha, Phi       = 0.000, 0.000\tDivergency     = 0.000\n"
      "Implants       = 1\t\tDose           = 9.000e+14at/cm^2\n"
      "DoseSplitting  Off\n"
      "Temperature    = 300.0\t\tRare Event     = 0\n"
      "RS0            = 1.850,1.850,1.850,1.850,1.850,0.0\n\n";
  const std::string block3 =
      "Implanted atom = 1\n"
      "Energy         = 5000. eV\n"
      "Tha, Phi       = 0.000, 0.000\tDivergency     = 0.000\n"
      "Implants       = 1\t\tDose           = 2.000e+13at/cm^2\n"
      "DoseSplitting  Off\n"
      "Temperature    = 77.00\t\tRare Event     = 0\n"
      "RS0            = 1.850,1.850,1.850,1.850,1.850,0.0\n\n";
  EXPECT_NE(echo.find("           NextSimulation =          \n" + block1 + block2 + block3 + "\n"),
            std::string::npos)
      << echo;
  EXPECT_EQ(Lines(ReadFile(dir.File("Dp.in/MaxAmorf_vs_Dose.dat"))).size(), 3u);
}

TEST(Configuration, FlatIsCompletedForTheTwoUsualCuts) {
  TempDir dir;
  ASSERT_EQ(RunFile(dir, "ABC 1 1 0 NumberOfImplants 1").status, 0);
  const std::string echo = ReadFile(dir.File("Dp.in/Parameters.out"));
  EXPECT_NE(echo.find("FLAT =         (     0.000,     0.000,     1.000 )"), std::string::npos)
      << echo;
  TempDir other;
  ASSERT_EQ(RunFile(other, "ABC 0 0 1 FLAT 1 0 0 NumberOfImplants 1").status, 0);
}

TEST(Configuration, Failures) {
  struct Case {
    const char* parameters;
    int status;
    const char* message;
  };
  const std::string elevenAtoms = [] {
    std::string text;
    for (int i = 0; i < 11; ++i) text += "Atom Si 14 28.086 519\n";
    return text;
  }();
  const Case cases[] = {
      {"ABC 0 0 1", 500, "# Error: You must define de Y axe with FLAT token\n"},
      {"Dose 5e13 DoseSplitting On", 501,
       "# Error: Dose distribution greater than specified Dose\n"},
      {elevenAtoms.c_str(), 404, "Maximum number of atoms reached. Please recompile.\n"},
      {"HSTFile[ out.", 600,
       "# Error: Input::ReadParameters, Incomplete string in p.in, line 1: HSTFile[ has no "
       "closing ]\n"},
      {"RS0 1 2 3 4 5 6 0", 601,
       "# Error: Input::ReadParameters, RS0 token must end with 0.0 in p.in, line 1: '6' is one "
       "number too many\nMAXLAYER = 5\n"},
      {"Therm maybe", 602,
       "# Boolean error (Therm) in: p.in, line 1: 'maybe' is not On/Off, Yes/No or 1/0\n"},
      {"Dose 1e13x NumberOfImplants 5", 0, ""},
      {"Dose one", 603,
       "# Error: Input::ReadParameters, Can't read the value of Dose in p.in, line 1: 'one' is not "
       "a number\n"},
      {"Atom Q 0 1 1", 605, ""},
      {"Projectiles 1 3 0", 605,
       "# Error: Configure, Projectiles 3 names no element: the list holds 2\n"},
      {"Projectiles -1 0", 605,
       "# Error: Configure, Projectiles -1 names no element: the list holds 2\n"},
      {"ENERGY 0", 606, "# Error: Configure, ENERGY must be positive in simulation 1: 0\n"},
      {"ENERGY 1000 NextSimulation ENERGY -5", 606,
       "# Error: Configure, ENERGY must be positive in simulation 2: -5\n"},
      {"Dose 0 DoseSplitting On", 606,
       "# Error: Configure, DoseSplitting has no positive Dose to split in simulation 1: 0\n"},
      {"Dose -1e13", 606, "# Error: Configure, Dose must be positive in simulation 1: -1e+13\n"},
      {"Dose 1e15 DoseSplitting On DoseDistribution -1e14 0.0", 606,
       "# Error: Configure, DoseDistribution must not be negative in simulation 1: -1e+14\n"},
      {"ThresholdEnergy 0", 606, "# Error: Configure, ThresholdEnergy must be positive: 0\n"},
      {"ImplantationArea -100", 606,
       "# Error: Configure, ImplantationArea must be positive: -100\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const RunResult r = RunFile(dir, c.parameters);
    EXPECT_EQ(r.status, c.status & 0xFF) << c.parameters << "\n" << r.err;
    if (*c.message) {
      EXPECT_EQ(r.err, c.message) << c.parameters;
    }
    if (c.status != 0) {
      EXPECT_FALSE(FileExists(dir.File("Dp.in/MaxAmorf_vs_Dose.dat")));
    }
  }
}

TEST(Configuration, ADirectoryIsNoParameterFile) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("runs"));
  const RunResult r = RunOrvane(dir.Path(), "runs", TablesEnvironment(dir));
  EXPECT_EQ(r.status, 300 & 0xFF);
  EXPECT_EQ(r.err, "# Error: Input::ReadParameters, Can't read runs\n");
}

TEST(Configuration, TemperatureOfEachSimulationAndOfTheThermalSetUp) {
  TempDir dir;
  ASSERT_EQ(RunFile(dir, "Temperature 77 NumberOfImplants 1 NextSimulation Temperature 500").status,
            0);
  const std::string echo = ReadFile(dir.File("Dp.in/Parameters.out"));
  EXPECT_NE(echo.find("Temperature    = 77.00"), std::string::npos);
  EXPECT_NE(echo.find("Temperature    = 500.0"), std::string::npos);
  // The element amplitudes of the echo are those of the last temperature read:
  // boron at 500 K, x = 519/500 = 1.038 on the Debye series.
  EXPECT_NE(echo.find("TAmp =     0.1590 A"), std::string::npos) << echo;
}
