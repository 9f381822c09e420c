// Plots of the damage profile through a pipe to the plotting program.  A
// null pipe (no plotting window) plots nothing.
#pragma once

#include <cstdio>
#include <string>

namespace orvane {

// The commands that plot the percentage of amorphization of "Amorph1D.dat"
// in the output directory; init and plot are the texts of "GPInitDamage["
// and "GPPlotDamage[".
std::string DamagePlotCommands(const std::string& outputDirectory, const std::string& init,
                               const std::string& plot);

// The commands that copy the current plot as PostScript to the name followed
// by ".ps" in the output directory and return the window to the screen.
std::string DamagePostScriptCommands(const std::string& outputDirectory, const std::string& name);

// The commands that draw the percentage of amorphization of "Amorph1D.dat"
// as the PNG picture "<dir>/Amorph1D.png"; the scale reaches the peak
// (percent), and at least 1 %.
std::string DamagePictureCommands(const std::string& outputDirectory, double peak);

// Sends the commands above to the pipe and flushes it.
void PlotDamage(std::FILE*& pipe, const std::string& outputDirectory, const std::string& init,
                const std::string& plot);
void PlotDamagePS(std::FILE*& pipe, const std::string& outputDirectory, const std::string& name);

}  // namespace orvane
