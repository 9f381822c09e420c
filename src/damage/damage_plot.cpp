#include "damage/damage_plot.h"

namespace orvane {

// The command texts use the current plotting program's spellings where it
// refuses the old ones: "set style data" for "set data style" and "unset
// timestamp" for "set notime".

void PlotDamage(std::FILE* pipe, const std::string& outputDirectory, const std::string& init,
                const std::string& plot) {
  if (pipe == nullptr) return;
  std::fputs("set style data lines; set nolog; set grid\n", pipe);
  std::fputs("set xlabel \"Depth (nm)\"\n", pipe);
  std::fputs("set ylabel \"%Amorphization\"\n", pipe);
  std::fputs("set title \"Percentage of Amorphization\"\n", pipe);
  std::fprintf(pipe, "%s\n", init.c_str());
  std::fprintf(pipe, "plot \"%s/Amorph1D.dat\" u 1:3 %s\n", outputDirectory.c_str(), plot.c_str());
  std::fflush(pipe);
}

void PlotDamagePS(std::FILE* pipe, const std::string& outputDirectory, const std::string& name) {
  if (pipe == nullptr) return;
  std::fputs("set term post portrait enh color solid \"Helvetica\" 8\n", pipe);
  std::fputs("set size 0.7,0.35; set format y \"10^{%T}\"\n", pipe);
  std::fputs("set size 0.7,0.35; set format \n", pipe);
  std::fprintf(pipe, "set output \"%s/%s.ps\"\n", outputDirectory.c_str(), name.c_str());
  std::fputs("unset timestamp; set title; replot\n", pipe);
  std::fputs("set term x11; unset timestamp; set title\n", pipe);
  std::fflush(pipe);
}

}  // namespace orvane
