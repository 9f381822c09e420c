// The tables as a run sees them: a text table converted to binary once and
// the binary read back; short tables never used but made again, or refused
// when this program does not make them; the table directory used as a
// verbatim prefix; and runs that share one empty table directory.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_support.h"

using namespace orvane_test;

namespace {

const std::string kTables = PreparedTablesDir();
const char* kSmallRun = "ENERGY 2000 NumberOfImplants 5\n";

std::string Environment(const std::string& prefix) {
  return "TABLES3DDIR='" + prefix + "' EDTDIR='" + prefix + "'";
}

RunResult RunWithTables(const TempDir& dir, const std::string& prefix) {
  return RunFile(dir, "NumberOfImplants 0\n",
                 "TABLES3DDIR='" + prefix + "' EDTDIR='" + OwnTables(dir) + "'");
}

// The isolated-atom densities of boron and silicon, and nothing else.
void CopyIsolatedDensities(const TempDir& tables) {
  for (const char* name : {"N05.den", "N14.den"}) {
    std::filesystem::copy_file(kTables + name, tables.File(name));
  }
}

// The grid values of two binary densities, whose headers name their own
// paths, are the same.
bool SameDensityValues(const std::string& a, const std::string& b) {
  return ReadFile(a).substr(301) == ReadFile(b).substr(301);
}

bool HoldsPartialFiles(const TempDir& tables) {
  for (const auto& entry : std::filesystem::directory_iterator(tables.Path())) {
    if (entry.path().extension() == ".new") return true;
  }
  return false;
}

}  // namespace

TEST(TableStore, TextTableIsConvertedOnceThenReadAsBinary) {
  TempDir dir, tables;
  std::filesystem::copy_file(kTables + "Zel0514.dat", tables.File("Zel0514.dat"));
  const RunResult first = RunWithTables(dir, tables.Path() + "/");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("# Found ... " + tables.File("Zel0514.dat")), std::string::npos)
      << first.out;
  ASSERT_TRUE(FileExists(tables.File("Zel0514.lit")));
  EXPECT_EQ(std::filesystem::file_size(tables.File("Zel0514.lit")), 121160u);
  EXPECT_TRUE(ReadFile(tables.File("Zel0514.lit")) == ReadFile(kTables + "Zel0514.lit"));

  const RunResult second = RunWithTables(dir, tables.Path() + "/");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_NE(second.out.find("# Found " + tables.File("Zel0514.lit") + " (100%) OK. "),
            std::string::npos)
      << second.out;

  // A short binary table is passed over for the text table, which is
  // converted again.
  std::filesystem::resize_file(tables.File("Zel0514.lit"), 1000);
  const RunResult truncated = RunWithTables(dir, tables.Path() + "/");
  ASSERT_EQ(truncated.status, 0) << truncated.err;
  EXPECT_NE(truncated.err.find("# Warning: TBL::LoadBinary, " + tables.File("Zel0514.lit") +
                               " is short (1000 of 121160 bytes); it is not used"),
            std::string::npos)
      << truncated.err;
  EXPECT_NE(truncated.out.find("# Found ... " + tables.File("Zel0514.dat")), std::string::npos);
  EXPECT_TRUE(ReadFile(tables.File("Zel0514.lit")) == ReadFile(kTables + "Zel0514.lit"));
}

TEST(TableStore, ShortTablesAreMadeAgainAndTheRunIsUnchanged) {
  TempDir reference;
  const RunResult whole = RunFile(reference, kSmallRun);
  ASSERT_EQ(whole.status, 0) << whole.err;

  TempDir dir, tables;
  CopyIsolatedDensities(tables);
  for (const char* name : {"Zel0514.dat", "EDT_Si.lit"}) {
    std::filesystem::copy_file(kTables + name, tables.File(name));
  }
  std::filesystem::resize_file(tables.File("EDT_Si.lit"), 5000000);
  std::filesystem::resize_file(tables.File("Zel0514.dat"), 100000);
  const RunResult r = RunFile(dir, kSmallRun, Environment(tables.Path() + "/"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Zel0514.dat holds 6238 of 15120 values; it is not used"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("EDT_Si.lit is short; it is made again"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("Dp.in/.Histo1D.01_01")),
            ReadFile(reference.File("Dp.in/.Histo1D.01_01")));
  EXPECT_TRUE(ReadFile(tables.File("Zel0514.dat")) == ReadFile(kTables + "Zel0514.dat"));
  EXPECT_TRUE(SameDensityValues(tables.File("EDT_Si.lit"), kTables + "EDT_Si.lit"));
}

TEST(TableStore, AShortDensityFromElsewhereIsRefused) {
  TempDir dir, tables;
  std::filesystem::copy_file(kTables + "EDT_Si.lit", tables.File("Si.big"));
  std::filesystem::resize_file(tables.File("Si.big"), 5000000);
  const RunResult r = RunFile(dir, "EDTFile[ Si ] NumberOfImplants 1\n",
                              "TABLES3DDIR='" + OwnTables(dir) + "' EDTDIR='" + tables.Path() + "/'");
  EXPECT_EQ(r.status, 300 & 0xFF) << r.err;
  EXPECT_NE(r.err.find("# Error: EDT::ReadTable3D, " + tables.File("Si.big") +
                       " holds fewer than the 1404928 values of its grid"),
            std::string::npos)
      << r.err;
}

TEST(TableStore, TheDirectoryIsAVerbatimPrefix) {
  TempDir dir, tables;
  const std::string prefix = tables.File("pre_");
  std::filesystem::copy_file(kTables + "Zel0514.lit", prefix + "Zel0514.lit");
  const RunResult r = RunWithTables(dir, prefix);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("# Found " + prefix + "Zel0514.lit (100%) OK. "), std::string::npos)
      << r.out;
}

// Parameter sweeps share one table directory: runs that start together
// each make the tables they miss, and none reads another's half-written one.
TEST(TableStore, FourRunsStartedTogetherOnAnEmptyDirectoryAllSucceedAlike) {
  TempDir reference;
  const RunResult whole = RunFile(reference, kSmallRun);
  ASSERT_EQ(whole.status, 0) << whole.err;

  TempDir runs, tables;
  CopyIsolatedDensities(tables);
  WriteFile(runs.File("p.in"), kSmallRun);
  std::string command = "cd '" + runs.Path() + "' && for i in 1 2 3 4; do mkdir $i; (cd $i && " +
                        Environment(tables.Path() + "/") + " '" ORVANE_BINARY
                        "' ../p.in > out 2> err < /dev/null; echo $? > status) & sleep 0.2; "
                        "done; wait";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
  for (const char* run : {"1", "2", "3", "4"}) {
    SCOPED_TRACE(run);
    const std::string directory = runs.File(run) + "/";
    EXPECT_EQ(ReadFile(directory + "status"), "0\n") << ReadFile(directory + "err");
    EXPECT_EQ(ReadFile(directory + "Dp.in/.Histo1D.01_01"),
              ReadFile(reference.File("Dp.in/.Histo1D.01_01")));
  }
  EXPECT_FALSE(HoldsPartialFiles(tables));
  EXPECT_TRUE(ReadFile(tables.File("Zel0514.dat")) == ReadFile(kTables + "Zel0514.dat"));
  EXPECT_TRUE(SameDensityValues(tables.File("EDT_Si.lit"), kTables + "EDT_Si.lit"));
}

// Boron-10 after boron at 11 amu in one table directory: the tables of the
// heavier boron are kept, and boron-10 gets tables of its own, the same as
// those of a directory that never held boron tables.
TEST(TableStore, APairOfOtherMassesGetsTablesOfItsOwn) {
  const char* boron10 =
      "Atom B 5 10.013 519 Atom Si 14 28.086 519\nENERGY 2000 Tha 7 NumberOfImplants 5\n";
  TempDir shared, fresh;
  const RunResult afterBoron11 = RunFile(shared, boron10);
  ASSERT_EQ(afterBoron11.status, 0) << afterBoron11.err;
  EXPECT_NE(afterBoron11.out.find("# Zel0514.dat was made for W1=11,W2=28.086; the pair of "
                                  "W1=10.013,W2=28.086 takes Zel0514_10.013_28.086.dat"),
            std::string::npos)
      << afterBoron11.out;
  const std::string sharedTables = OwnTables(shared);
  EXPECT_TRUE(ReadFile(sharedTables + "Zel0514.dat") == ReadFile(kTables + "Zel0514.dat"));
  EXPECT_TRUE(ReadFile(sharedTables + "Zel0514.lit") == ReadFile(kTables + "Zel0514.lit"));

  const std::string freshTables = OwnTables(fresh);
  for (const auto& entry : std::filesystem::directory_iterator(freshTables)) {
    if (entry.path().filename().string().find("05") == 3) std::filesystem::remove(entry.path());
    if (entry.path().filename().string().find("05") == 5) std::filesystem::remove(entry.path());
  }
  const RunResult alone = RunFile(fresh, boron10);
  ASSERT_EQ(alone.status, 0) << alone.err;
  EXPECT_NE(alone.out.find("# Generating nuclear stopping table Zel0514.dat"), std::string::npos);
  EXPECT_EQ(ReadFile(shared.File("Dp.in/Histo1D.01_01")),
            ReadFile(fresh.File("Dp.in/Histo1D.01_01")));
  EXPECT_EQ(ReadFile(sharedTables + "Zel0514_10.013_28.086.dat").substr(200),
            ReadFile(freshTables + "Zel0514.dat").substr(200));
}
