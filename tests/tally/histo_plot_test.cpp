#include "tally/histo_plot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"
#include "tally/profile_files.h"

using namespace orvane;
using orvane_test::ReadFile;
using orvane_test::TempDir;
using orvane_test::WriteFile;

namespace {

TrackedSpecies Species(int32_t first, int32_t second = 0) {
  const int32_t slots[TrackedSpecies::kCapacity] = {first, second};
  return TrackedSpecies(slots);
}

std::string PostScriptText(const std::string& directory, const std::string& name) {
  return "set term post portrait enh color solid \"Helvetica\" 8\n"
         "set size 0.7,0.35; set format y \"10^{%T}\"\n"
         "set size 0.7,0.35; set format y \"10^{%T}\"\n"
         "set output '" +
         directory + "/" + name +
         ".ps'\n"
         "unset timestamp; set title; replot\n"
         "set term x11; unset timestamp; set title\n";
}

// Profiles of two species, as the periodic output writes them.
void WriteTwoProfiles(const std::string& directory) {
  Hist h;
  h.Initialize(0, 1e10, 1e14);
  for (int i = 1; i <= 40; ++i) h.Add(i * 5.0, i % 7 + 1.0, 0.0, IMPLANTED_ION, i);
  h.Compute();
  SaveHisto(h, 2, directory, "Histo1D.", true, 40, 40);
  h.Add(300.0, 2.0, 0.0, IMPLANTED_ION, 41);
  h.Compute();
  SaveHisto(h, 5, directory, "Histo1D.", true, 41, 80);
}

}  // namespace

TEST(ShowFinalState1D, PlotsEveryTrackedProfileThenItsPostScriptCopy) {
  TempDir dir;
  WriteTwoProfiles(dir.Path());
  std::FILE* pipe = std::fopen(dir.File("commands").c_str(), "w");
  ShowFinalState1D(pipe, dir.Path(), Species(2, 5), "Histo1D.", "set grid", "t \"This work\" ",
                   true);
  std::fclose(pipe);
  const std::string p2 = dir.Path() + "/.Histo1D._02";
  const std::string p5 = dir.Path() + "/.Histo1D._05";
  EXPECT_EQ(ReadFile(dir.File("commands")),
            "set style data lines; set log y\n"
            "set xlabel \"Depth (nm)\"\n"
            "set ylabel \"Conc. (at/cm^3)\"\n"
            "set title \"Trajectories = 41, Real ION = 162, Virtual ION = 41\"\n"
            "set grid\n"
            "plot '" +
                p2 + "'t \"This work\" ,'" + p5 + "'t \"This work\" \n" +
                PostScriptText(dir.Path(), "Histo1D.") + "reset\n");
}

TEST(ShowPS, PlainFormatKeepsTheNumbersOfTheAxis) {
  EXPECT_EQ(PostScriptCommands("D", "Amorph1D.dat", true),
            "set term post portrait enh color solid \"Helvetica\" 8\n"
            "set size 0.7,0.35; set format y \"10^{%T}\"\n"
            "set size 0.7,0.35; set format \n"
            "set output 'D/Amorph1D.dat.ps'\n"
            "unset timestamp; set title; replot\n"
            "set term x11; unset timestamp; set title\n");
  EXPECT_EQ(PostScriptCommands("D", "H", false), PostScriptText("D", "H"));
  std::FILE* none = nullptr;
  ShowPS(none, "D", "H", false);  // no window: nothing happens
  EXPECT_EQ(none, nullptr);
}

TEST(ShowFinalState1D, NoWindowReadsTheProfilesAndPlotsNothing) {
  TempDir dir;
  WriteTwoProfiles(dir.Path());
  std::FILE* none = nullptr;
  ShowFinalState1D(none, dir.Path(), Species(2, 5), "Histo1D.", "", "", true);
  EXPECT_EQ(none, nullptr);
}

TEST(ShowFinalState1DDeathTest, MissingProfileEndsTheRun) {
  TempDir dir;
  WriteTwoProfiles(dir.Path());
  std::FILE* none = nullptr;
  EXPECT_EXIT(ShowFinalState1D(none, dir.Path(), Species(2, 3), "Histo1D.", "", "", false),
              testing::ExitedWithCode(300 & 0xFF),
              "^# Error: ShowFinalState1D, File " + dir.Path() + "/.Histo1D._03 not found\n$");
}

// With the plotting program and a virtual display at hand, the texts are
// accepted without complaint and give a PostScript copy of the profiles.
TEST(ShowFinalState1D, PlottingProgramAcceptsTheTexts) {
  if (std::system("command -v gnuplot >/dev/null && command -v xvfb-run >/dev/null") != 0) {
    GTEST_SKIP() << "gnuplot or xvfb-run is not installed";
  }
  TempDir dir;
  WriteTwoProfiles(dir.Path());
  WriteFile(dir.File("start"), "set pointsize 3\n");
  // A display number of its own to start the search for a free one from:
  // two xvfb-run that start from the same number at the same moment may
  // both take it, and the first to end takes the display from the other.
  const std::string command =
      "xvfb-run -a -n 120 gnuplot '" + dir.File("start") + "' - 2>'" + dir.File("errors") + "' >/dev/null";
  std::FILE* pipe = popen(command.c_str(), "w");
  ASSERT_NE(pipe, nullptr);
  ShowFinalState1D(pipe, dir.Path(), Species(2, 5), "Histo1D.", "", "t \"This work\" ", true);
  ShowFinalState1D(pipe, dir.Path(), Species(2), "Histo1D.", "set grid", "", false);
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(ReadFile(dir.File("errors")), "");
  EXPECT_GT(ReadFile(dir.File("Histo1D..ps")).size(), 5000u);
}
