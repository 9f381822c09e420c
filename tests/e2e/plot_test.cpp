// Plots through the real plotting program on a virtual X server: every
// command text must be accepted and the PostScript copies written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_support.h"

using namespace orvane_test;

namespace {
bool Installed(const char* program) {
  const std::string command = std::string("command -v ") + program + " > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}
}  // namespace

TEST(Plots, ProfilesDamageAndSplitDepthsOnAVirtualScreen) {
  if (!Installed("gnuplot") || !Installed("xvfb-run")) {
    GTEST_SKIP() << "gnuplot or xvfb-run is not installed";
  }
  TempDir dir;
  WriteFile(dir.File("p.in"),
            "ShowHisto1D On ShowDamage On REShow On RareEvent 1 REInterval 100 REThreshold 50\n"
            "GPInitDamage[ set yrange [0:100] ] ENERGY 5000 Tha 7 NumberOfImplants 200\n");
  // xvfb-run finds a free display of its own (-a) and passes the program's
  // exit status on.
  const RunResult r = RunOrvane(dir.Path(), "p.in", TablesEnvironment(dir) + " xvfb-run -a");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("gnuplot>"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("line 0:"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("warning"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("plots are skipped"), std::string::npos) << r.err;
  int postScripts = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.File("Dp.in"))) {
    if (entry.path().extension() != ".ps") continue;
    ++postScripts;
    EXPECT_GT(std::filesystem::file_size(entry.path()), 5000u) << entry.path();
    EXPECT_NE(ReadFile(entry.path().string()).find("%%Trailer"), std::string::npos) << entry.path();
  }
  EXPECT_GE(postScripts, 1);
}
