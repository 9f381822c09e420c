// End-to-end implants through the real binary: reproducibility, ranges
// against published range statistics, channeling, and the failures of the
// implant loop and its set-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <vector>

#include "support/ion_statistics.h"
#include "support/run_comparison.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

// Standard output less the wall time and rate of the summaries, the only
// figures that differ from run to run.
std::string WithoutWallTime(const std::string& out) {
  std::string text;
  std::istringstream is(out);
  for (std::string line; std::getline(is, line);) {
    if (line.rfind("#   Wall time ", 0) != 0) text += line + "\n";
  }
  return text;
}

std::vector<double> ImplantedDepths(const std::string& out) {
  std::vector<double> depths;
  for (const FinalIon& ion : Implanted(FinalIons(out))) depths.push_back(ion.depth);
  return depths;
}

// The depth below which the deepest fraction of the ions lie.
double DeepTail(std::vector<double> v, double fraction) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>((1.0 - fraction) * (v.size() - 1))];
}

std::string IonText(const std::string& out) {
  std::string text;
  std::istringstream is(out);
  for (std::string line; std::getline(is, line);) {
    if (line.size() > 7 && line[6] >= '0' && line[6] <= '9') text += line + "\n";
  }
  return text;
}

const char* kSmallImplant =
    "Seed1 4321 Seed2 8765\n"
    "ENERGY 5000 Tha 7 NumberOfImplants 20 Dose 1e14 PearsonIV On ASCII On\n";

}  // namespace

TEST(Implant, SeededRunsAreReproducible) {
  TempDir first, second;
  // Both read the same tables, so that the paths they print are the same.
  const RunResult a = RunFile(first, kSmallImplant);
  const RunResult b = RunFile(second, kSmallImplant, TablesEnvironment(first));
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(WithoutWallTime(a.out), WithoutWallTime(b.out));
  EXPECT_EQ(FinalIons(a.out).size(), 20u);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(first.File("Dp.in"))) {
    const std::string name = entry.path().filename().string();
    const std::string a = ReadFile(entry.path().string());
    const std::string b = ReadFile(second.File("Dp.in/" + name));
    if (name == "summary.json") {
      EXPECT_EQ(ComparableSummary(a), ComparableSummary(b));
    } else {
      EXPECT_EQ(a, b) << name;
    }
    ++files;
  }
  EXPECT_GE(files, 10);
}

TEST(Implant, RegressionAgainstStoredResults) {
  // The stored files were written by this program from kSmallImplant; they
  // change only when the physics changes on purpose.
  TempDir dir;
  const RunResult r = RunFile(dir, kSmallImplant);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string expected =
      std::string(ORVANE_SOURCE_DIR) + "/tests/e2e/expected/small_implant/";
  EXPECT_EQ(IonText(r.out), ReadFile(expected + "ions.txt"));
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(expected)) {
    const std::string name = entry.path().filename().string();
    if (name == "ions.txt") continue;
    EXPECT_EQ(ReadFile(dir.File("Dp.in/" + name)), ReadFile(entry.path().string())) << name;
    ++compared;
  }
  EXPECT_EQ(compared, 8);
}

TEST(Implant, ChannelingAlongTheNormalReachesDeeper) {
  TempDir tilted, channel;
  const std::string body = "ENERGY 5000 NumberOfImplants 500 Seed1 11 Seed2 22 Tha ";
  const RunResult a = RunFile(tilted, body + "7\n");
  const RunResult b = RunFile(channel, body + "0\n");
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  const double tail7 = DeepTail(ImplantedDepths(a.out), 0.01);
  const double tail0 = DeepTail(ImplantedDepths(b.out), 0.01);
  EXPECT_GT(tail0, 1.5 * tail7) << "deepest 1 %: " << tail0 << " nm at 0 degrees, " << tail7
                                << " nm at 7 degrees";
}

TEST(Implant, EffectiveWeightAndVerboseReports) {
  TempDir dir;
  const RunResult r = RunFile(dir,
                              "Verbose On Dose 1e14 ImplantationArea 100 NumberOfImplants 1000 "
                              "ENERGY 100\n");
  ASSERT_EQ(r.status, 0) << r.err;
  // 1e14 at/cm^2 over 100 A^2 (1e-14 cm^2) is 1 real ion for 1000 simulated.
  EXPECT_NE(r.out.find("\tWEffective       = 0.001\n"), std::string::npos);
  EXPECT_NE(r.out.find("\tNEffective       = 1\n"), std::string::npos);
  EXPECT_NE(r.out.find(" Using Our for stopping. Our model\n"), std::string::npos);
  EXPECT_NE(r.out.find(" Using ZBL as ionization. ZBL ionization\n"), std::string::npos);
  EXPECT_NE(r.out.find("Mean Distance     = "), std::string::npos);
  EXPECT_NE(r.out.find("\nProjectile 1,\tReal ions = "), std::string::npos);
  EXPECT_NE(r.out.find("\nSigma_0 = "), std::string::npos);
  EXPECT_TRUE(FileExists(dir.File("CrossSectionMartin_vs_Energy")));
}

TEST(Implant, VerboseReportsKeepTheirOwnNotation) {
  TempDir dir;
  const RunResult r = RunFile(dir,
                              "Verbose On Dose 1e13 NumberOfImplants 100 ENERGY 2000 "
                              "NextSimulation NumberOfImplants 10\n");
  ASSERT_EQ(r.status, 0) << r.err;
  // The collisions are counted in whole numbers.
  const std::size_t line = r.out.find("Simultaneous col. = ");
  ASSERT_NE(line, std::string::npos) << r.out;
  std::istringstream fields(r.out.substr(line + 20, r.out.find('\n', line) - line - 20));
  std::string simultaneous, vs, total;
  fields >> simultaneous >> vs >> total;
  EXPECT_EQ(vs, "vs");
  for (const std::string& count : {simultaneous, total}) {
    EXPECT_EQ(count.find_first_not_of("0123456789"), std::string::npos) << count;
  }
  // The per-ion lines' fixed notation reaches neither the ion count nor the
  // header of the next simulation.
  EXPECT_NE(r.out.find("\nProjectile 1,\tReal ions = 0.1,\tVirtual ions = 100\n"),
            std::string::npos)
      << r.out;
  const std::size_t second = r.out.find("\tN                = 10\n");
  ASSERT_NE(second, std::string::npos);
  const std::string dose = "\tDose             = 1e+13\n";
  EXPECT_EQ(r.out.rfind(dose, second), second - dose.size());
}

TEST(Implant, MoleculeSharesItsEnergyByMass) {
  TempDir dir;
  const RunResult r = RunFile(dir,
                              "Atom B 5 10 519 Atom X 14 30 519 Atom Si 14 28.086 519\n"
                              "XTal 3 6 0 0 0 15 XTal 3 6 0.25 0.25 0.25 15 NextLayer\n"
                              "Projectiles 1 2 0 ENERGY 4000 Tha 7 NumberOfImplants 20\n");
  ASSERT_EQ(r.status, 0) << r.err;
  // Both species are tallied, each ion of the molecule once.
  EXPECT_TRUE(FileExists(dir.File("Dp.in/Histo1D.01_01")));
  EXPECT_TRUE(FileExists(dir.File("Dp.in/Histo1D.01_02")));
  EXPECT_EQ(FinalIons(r.out).size(), 40u);
}

TEST(Implant, Failures) {
  struct Case {
    const char* parameters;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"Stopping[ zbl ]", 502,
       "# The stopping you can select are:\n# ?\n#  This help\n# Our\n#  Our model\n"
       "# ZBL\n#  BK stopping\n# None\n#  No stopping\n"},
      {"Ionization[ XYZ ]", 503,
       "# The ionization you can select are:\n# MP\n#  MP  ionization\n# CGJ\n#  CGJ "
       "ionization\n# BK\n#  BK  ionization\n# ZBL\n#  ZBL ionization\n"},
      {"RareEvent 7", 402,
       "# Error: Hist::Initialize, Max number of orders of magnitude reached\n"},
      {"RareEvent -1", 402, "# Error: Hist::Initialize, RareEvent < 0\n"},
      {"Tha 0 ENERGY 20000 XMin 0 XMax 100 NextLayer XMin 200 XMax 1e7 NextLayer", 405,
       "MAIN: No layers found at ( "},
      {"PreviousDamageFile[ missing.dat ]", 300, "# I can't open (missing.dat)\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const RunResult r = RunFile(dir, std::string(c.parameters) + " NumberOfImplants 2\n");
    EXPECT_EQ(r.status, c.status & 0xFF) << c.parameters << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.parameters << "\n" << r.err;
  }
}

TEST(Implant, StoppingHelpEntryRunsWithoutStopping) {
  TempDir dir;
  const RunResult r = RunFile(dir, "Stopping[ ? ] NumberOfImplants 2 ENERGY 1000\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("you can select"), std::string::npos);
}

TEST(Implant, DamageFileReadBackContinuesTheProfile) {
  TempDir dir;
  const std::string damaging =
      "DoseRate 1e20 CteD 1 Tha 7 ENERGY 10000 NumberOfImplants 50 Dose 1e15\n";
  ASSERT_EQ(RunFile(dir, damaging).status, 0);
  const std::string saved = ReadFile(dir.File("Dp.in/Amorph1D.dat"));
  ASSERT_NE(saved.find("\n# Distance(nm) defects/A^3  percentage_of_amorphization\n"),
            std::string::npos);
  std::filesystem::copy_file(dir.File("Dp.in/Amorph1D.dat"), dir.File("previous.dat"));
  TempDir again;
  std::filesystem::copy_file(dir.File("previous.dat"), again.File("previous.dat"));
  const RunResult r = RunFile(again, "PreviousDamageFile[ previous.dat ] NumberOfImplants 0\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("# Reading (previous.dat)\n"), std::string::npos);
  // Without ions the profile is written back as it was read.
  EXPECT_EQ(ReadFile(again.File("Dp.in/Amorph1D.dat")), saved);
}

TEST(Implant, NoPlottingProgramIsStartedWithThePlotSwitchesOff) {
  TempDir dir, bin;
  const std::string fake = bin.File("gnuplot");
  WriteFile(fake, "#!/bin/sh\ntouch '" + bin.File("started") + "'\ncat > /dev/null\n");
  std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
  const std::string environment =
      TablesEnvironment(dir) + " PATH='" + bin.Path() + ":/usr/bin:/bin'";
  ASSERT_EQ(RunFile(dir, "NumberOfImplants 3 ENERGY 1000\n", environment).status, 0);
  EXPECT_FALSE(FileExists(bin.File("started")));
  ASSERT_EQ(RunFile(dir, "ShowHisto1D On NumberOfImplants 3 ENERGY 1000\n", environment).status, 0);
  EXPECT_TRUE(FileExists(bin.File("started")));
}

TEST(Implant, PlotsAreSkippedWithoutThePlottingProgram) {
  TempDir dir;
  TempDir emptyPath;
  const std::string environment = TablesEnvironment(dir) + " PATH='" + emptyPath.Path() + "'";
  const RunResult off = RunFile(dir, "NumberOfImplants 3 ENERGY 1000\n", environment);
  ASSERT_EQ(off.status, 0) << off.err;
  EXPECT_EQ(off.err.find("plots are skipped"), std::string::npos);
  const RunResult on = RunFile(
      dir, "ShowHisto1D On ShowDamage On REShow On RareEvent 1 NumberOfImplants 3 ENERGY 1000\n",
      environment);
  ASSERT_EQ(on.status, 0) << on.err;
  const std::string warning =
      "# Warning: the plotting program gnuplot is not installed: plots are skipped\n";
  const std::size_t at = on.err.find(warning);
  ASSERT_NE(at, std::string::npos) << on.err;
  EXPECT_EQ(on.err.find(warning, at + 1), std::string::npos);
}

TEST(Implant, DisplayModeShowsStoredResultsWithoutSimulating) {
  TempDir dir, emptyPath;
  const std::string environment = TablesEnvironment(dir) + " PATH='" + emptyPath.Path() + "'";
  ASSERT_EQ(RunFile(dir, "NumberOfImplants 5 ENERGY 2000\n", environment).status, 0);
  const std::string dose = ReadFile(dir.File("Dp.in/MaxAmorf_vs_Dose.dat"));
  const RunResult r = RunOrvane(dir.Path(), "p.in 3", environment);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Implant 1. Press enter\n"), std::string::npos) << r.out;
  EXPECT_TRUE(FinalIons(r.out).empty());
  // No ion ran: the per-ion file is the one of the simulation, and the
  // profiles are joined again.
  EXPECT_EQ(ReadFile(dir.File("Dp.in/MaxAmorf_vs_Dose.dat")), dose);
  EXPECT_NE(r.out.find("Writting ... Dp.in/Histo1D.01_01"), std::string::npos);
}

TEST(Implant, DoseSplitPiecesAreJoinedIntoOneProfilePerSimulation) {
  TempDir dir;
  const RunResult r = RunFile(dir,
                              "ENERGY 5000 Tha 7 NumberOfImplants 10 Dose 1e15 DoseSplitting On\n"
                              "NextSimulation DoseSplitting Off Dose 1e13\n");
  ASSERT_EQ(r.status, 0) << r.err;
  // Pieces 1e14 and 9e14 are simulations 01 and 02, the unsplit one 03.
  for (const char* piece : {".Histo1D.01_01", ".Histo1D.02_01", ".Histo1D.03_01"}) {
    EXPECT_TRUE(FileExists(dir.File(std::string("Dp.in/") + piece))) << piece;
  }
  EXPECT_NE(r.out.find("Reading ... Dp.in/.Histo1D.01_01\n"), std::string::npos);
  EXPECT_NE(r.out.find("Reading ... Dp.in/.Histo1D.02_01\n"), std::string::npos);
  EXPECT_NE(r.out.find("Writting ... Dp.in/Histo1D.01_01\n"), std::string::npos);
  // The unsplit simulation is read as number 03 and written as group 02.
  const std::size_t third = r.out.find("Reading ... Dp.in/.Histo1D.03_01\n");
  ASSERT_NE(third, std::string::npos);
  EXPECT_NE(r.out.find("Writting ... Dp.in/Histo1D.02_01\n", third), std::string::npos);
  const std::string joined = ReadFile(dir.File("Dp.in/Histo1D.01_01"));
  // The ions of the two pieces, the real ions of the whole dose.
  EXPECT_EQ(joined.substr(0, 8), "# 20 10 ");
  EXPECT_NE(joined.find("\n#  Depth(nm), Conc. (at/cm^3)\n"), std::string::npos);
}
