// Plots through the real plotting program: on a virtual X server every
// command text must be accepted and the PostScript copies written; without
// any display the PNG pictures are drawn; without the program the run goes
// on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "support/test_support.h"

using namespace orvane_test;

namespace {
bool Installed(const char* program) {
  const std::string command = std::string("command -v ") + program + " > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

bool CairoTerminalInstalled() {
  return Installed("gnuplot") &&
         std::system("gnuplot -e 'set terminal' 2>&1 | grep -q pngcairo") == 0;
}

// The width and height of a PNG image, from its header; 0 when the file is
// not a PNG image.
std::pair<unsigned, unsigned> PngSize(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
  auto word = [&bytes](std::size_t at) {
    unsigned value = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
      value = value << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return value;
  };
  return {word(16), word(20)};
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
  // xvfb-run finds a free display of its own (-a), searching from a number
  // that no other test starts from (two searches from one number at the
  // same moment may take the same display), and passes the program's exit
  // status on.
  const RunResult r = RunOrvane(dir.Path(), "p.in", TablesEnvironment(dir) + " xvfb-run -a -n 140");
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

TEST(Plots, PngPicturesWithoutADisplay) {
  if (!CairoTerminalInstalled()) GTEST_SKIP() << "gnuplot with its pngcairo terminal is missing";
  TempDir dir;
  WriteFile(dir.File("p.in"),
            "SavePNG On ENERGY 5000 Tha 7 NumberOfImplants 60 Projectiles 1 0 NextSimulation\n"
            "Tha 0\n");
  const RunResult r = RunOrvane(dir.Path(), "p.in", "env -u DISPLAY " + TablesEnvironment(dir));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("gnuplot>"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("arning"), std::string::npos) << r.err;
  for (const char* name : {"Histo1D.01_01.png", "Histo1D.02_01.png", "Amorph1D.png"}) {
    const std::string bytes = ReadFile(dir.File(std::string("Dp.in/") + name));
    EXPECT_EQ(PngSize(bytes), std::make_pair(800u, 600u)) << name;
    EXPECT_GT(bytes.size(), 10000u) << name;
  }
}

// The picture under the joined file's name shows the whole dose; each dose
// piece's goes with its own (hidden) profile file.
TEST(Plots, PngOfTheWholeDoseOfDosePieces) {
  if (!CairoTerminalInstalled()) GTEST_SKIP() << "gnuplot with its pngcairo terminal is missing";
  TempDir dir;
  WriteFile(dir.File("p.in"),
            "SavePNG On ENERGY 5000 NumberOfImplants 20 Dose 1e15 DoseSplitting On\n"
            "NextSimulation DoseSplitting Off Dose 1e13\n");
  const RunResult r =
      RunOrvane(dir.Path(), "p.in --quiet", "env -u DISPLAY " + TablesEnvironment(dir));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("gnuplot>"), std::string::npos) << r.err;
  // Pieces 01 and 02 make group 01; simulation 03 is group 02.
  for (const char* name : {".Histo1D.01_01.png", ".Histo1D.02_01.png", "Histo1D.01_01.png",
                           "Histo1D.02_01.png"}) {
    EXPECT_EQ(PngSize(ReadFile(dir.File(std::string("Dp.in/") + name))),
              std::make_pair(800u, 600u))
        << name;
  }
  EXPECT_FALSE(FileExists(dir.File("Dp.in/Histo1D.03_01.png")));
}

TEST(Plots, WithoutThePlottingProgramTheRunSaysSoOnceAndGoesOn) {
  TempDir dir;
  WriteFile(dir.File("p.in"), "SavePNG On NumberOfImplants 2 NextSimulation NumberOfImplants 2\n");
  const RunResult r = RunOrvane(dir.Path(), "p.in", TablesEnvironment(dir) + " PATH=/nonexistent");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string notice =
      "# Warning: the plotting program gnuplot is not installed: plots are skipped\n";
  const std::size_t at = r.err.find(notice);
  ASSERT_NE(at, std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(notice, at + 1), std::string::npos) << r.err;
  EXPECT_FALSE(FileExists(dir.File("Dp.in/Amorph1D.png")));
  EXPECT_NE(r.out.find("# Summary of simulation 2"), std::string::npos);
}
