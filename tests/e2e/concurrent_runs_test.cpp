// Independent runs that share one table directory: started a fraction of a
// second apart on an empty one, each finds the tables it needs either made
// whole by another or makes them itself, and all come out the same.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/test_support.h"

using namespace orvane_test;

namespace fs = std::filesystem;

TEST(ConcurrentRuns, FourRunsStartedOnOneEmptyTableDirectoryAllSucceedAlike) {
  TempDir work;
  // Only the shipped isolated-atom densities: every scattering, stopping
  // and crystal density table is still to be made.
  const std::string tables = work.File("tables/");
  fs::create_directories(tables);
  for (const char* density : {"N05.den", "N14.den"}) {
    fs::copy_file(ShippedDensityDir() + density, tables + density);
  }
  const std::string environment = "TABLES3DDIR='" + tables + "' EDTDIR='" + tables + "'";
  std::string script;
  for (int run = 1; run <= 4; ++run) {
    const std::string dir = work.File("run" + std::to_string(run));
    fs::create_directories(dir);
    WriteFile(dir + "/p.in",
              "Atom B 5 11.009 519 Atom Si 14 28.086 519\n"
              "XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 NextLayer\n"
              "LevelOfSimulation 2 ENERGY 2000 Tha 7 NumberOfImplants 10\n");
    script += "(cd '" + dir + "' && " + environment + " '" ORVANE_BINARY
              "' p.in > out.txt 2> err.txt; echo $? > status.txt) & sleep 0.2; ";
  }
  script += "wait";
  ASSERT_EQ(std::system(script.c_str()), 0);
  const std::string histogram = "/Dp.in/Histo1D.01_01";
  const std::string expected = ReadFile(work.File("run1") + histogram);
  ASSERT_FALSE(expected.empty());
  for (int run = 1; run <= 4; ++run) {
    const std::string dir = work.File("run" + std::to_string(run));
    EXPECT_EQ(ReadFile(dir + "/status.txt"), "0\n") << ReadFile(dir + "/err.txt");
    EXPECT_EQ(ReadFile(dir + histogram), expected) << "run " << run;
  }
  // Nothing half-written is left behind: every temporary file was renamed.
  for (const auto& entry : fs::directory_iterator(tables)) {
    EXPECT_NE(entry.path().extension(), ".new") << entry.path();
  }
}
