#include "damage/damage_plot.h"

#include <gtest/gtest.h>

#include "damage/damage_profile.h"
#include "damage/gnuplot_check.h"
#include "support/test_support.h"

using namespace orvane;
using orvane_test::ReadFile;
using orvane_test::TempDir;

namespace {

const char* kPlotText =
    "set style data lines; set nolog; set grid\n"
    "set xlabel \"Depth (nm)\"\n"
    "set ylabel \"%Amorphization\"\n"
    "set title \"Percentage of Amorphization\"\n"
    "set yrange [0:100] \n"
    "plot 'D/Amorph1D.dat' u 1:3 t \"This work\" \n";

const char* kPostScriptText =
    "set term post portrait enh color solid \"Helvetica\" 8\n"
    "set size 0.7,0.35; set format y \"10^{%T}\"\n"
    "set size 0.7,0.35; set format \n"
    "set output 'D/Amorph1D.dat.ps'\n"
    "unset timestamp; set title; replot\n"
    "set term x11; unset timestamp; set title\n";

void PlotBoth(std::FILE* pipe, const std::string& directory) {
  PlotDamage(pipe, directory, "set yrange [0:100] ", "t \"This work\" ");
  PlotDamagePS(pipe, directory, "Amorph1D.dat");
}

}  // namespace

TEST(DamagePlot, SendsTheCommandTextsAndNothingWithoutAWindow) {
  TempDir dir;
  std::FILE* pipe = std::fopen(dir.File("commands").c_str(), "w");
  PlotBoth(pipe, "D");
  std::fclose(pipe);
  EXPECT_EQ(ReadFile(dir.File("commands")), std::string(kPlotText) + kPostScriptText);
  PlotBoth(nullptr, "D");
}

// The plotting program accepts the texts without complaint and writes the
// PostScript copy; its text terminal stands in for the screen.
TEST(DamagePlot, PlottingProgramAcceptsTheTexts) {
  if (!orvane_test::GnuplotInstalled()) GTEST_SKIP() << "gnuplot is not installed";
  TempDir dir;
  DamageProfile profile;
  profile.Damage.Cells[10] = 0.002f;
  profile.SaveAmorph(dir.Path());
  std::string commands = DamagePlotCommands(dir.Path(), "", "t \"This work\" ") +
                         DamagePostScriptCommands(dir.Path(), "Amorph1D.dat");
  commands.replace(commands.find("set term x11"), 12, "set term dumb");
  EXPECT_EQ(orvane_test::GnuplotComplaints(dir.Path(), commands), "");
  EXPECT_GT(ReadFile(dir.File("Amorph1D.dat.ps")).size(), 5000u);
}
