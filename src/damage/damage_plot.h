// Plots of the damage profile through a pipe to the plotting program.  A
// null pipe (no plotting window) plots nothing.
#pragma once

#include <cstdio>
#include <string>

namespace orvane {

// Plots the percentage of amorphization of "Amorph1D.dat" in the output
// directory; init and plot are the texts of "GPInitDamage[" and
// "GPPlotDamage[".
void PlotDamage(std::FILE* pipe, const std::string& outputDirectory, const std::string& init,
                const std::string& plot);

// Copies the current damage plot as PostScript to the name followed by
// ".ps" in the output directory, then returns the window to the screen.
void PlotDamagePS(std::FILE* pipe, const std::string& outputDirectory, const std::string& name);

}  // namespace orvane
