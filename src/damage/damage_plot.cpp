#include "damage/damage_plot.h"

#include "core/plot_pipe.h"

namespace orvane {

// The texts use the plotting program's current spellings where it refuses
// the old ones: "set style data" for "set data style" and "unset timestamp"
// for "set notime".

std::string DamagePlotCommands(const std::string& outputDirectory, const std::string& init,
                               const std::string& plot) {
  return "set style data lines; set nolog; set grid\n"
         "set xlabel \"Depth (nm)\"\n"
         "set ylabel \"%Amorphization\"\n"
         "set title \"Percentage of Amorphization\"\n" +
         init + "\nplot " + GnuplotQuote(outputDirectory + "/Amorph1D.dat") + " u 1:3 " + plot +
         "\n";
}

std::string DamagePostScriptCommands(const std::string& outputDirectory, const std::string& name) {
  return "set term post portrait enh color solid \"Helvetica\" 8\n"
         "set size 0.7,0.35; set format y \"10^{%T}\"\n"
         "set size 0.7,0.35; set format \n"
         "set output " +
         GnuplotQuote(outputDirectory + "/" + name + ".ps") +
         "\n"
         "unset timestamp; set title; replot\n"
         "set term x11; unset timestamp; set title\n";
}

std::string DamagePictureCommands(const std::string& outputDirectory, double peak) {
  // The scale starts a little below 0, so that a profile without damage
  // shows apart from the axis.
  const double top = peak > 1.0 ? 1.05 * peak : 1.0;
  const std::string range = "[" + std::to_string(-0.02 * top) + ":" + std::to_string(top) + "]";
  return PictureTerminal(outputDirectory + "/Amorph1D.png") +
         "set grid; set xlabel 'Depth (nm)'; set ylabel 'Amorphization (%)'\n"
         "set title 'Percentage of amorphization'\n"
         "set yrange " +
         range + "\nplot " + GnuplotQuote(outputDirectory + "/Amorph1D.dat") +
         " using 1:3 with lines title 'Amorphization'\n"
         "unset output\n";
}

void PlotDamage(std::FILE*& pipe, const std::string& outputDirectory, const std::string& init,
                const std::string& plot) {
  SendPlot(pipe, DamagePlotCommands(outputDirectory, init, plot));
}

void PlotDamagePS(std::FILE*& pipe, const std::string& outputDirectory, const std::string& name) {
  SendPlot(pipe, DamagePostScriptCommands(outputDirectory, name));
}

}  // namespace orvane
