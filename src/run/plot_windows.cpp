#include "run/plot_windows.h"

#include <vector>

#include "core/plot_pipe.h"

namespace orvane {

namespace {

// The font, placement and title of a window; the point size follows as the
// first command, which the program accepts on every version.
std::FILE* OpenWindow(const std::string& geometry, const std::string& title) {
  const std::vector<std::string> arguments = {"-fn",    "8x16",   "-geometry",
                                              geometry, "-title", title};
  return StartPlotter(arguments, "set pointsize 3\n");
}

}  // namespace

void OpenPlotWindows(PlotWindows& windows, const std::string& parameterFile, bool doping,
                     bool splitting, bool damage) {
  if (doping) windows.Doping = OpenWindow("400x400+0+0", "DOPING_HISTOGRAM:" + parameterFile);
  if (splitting) {
    windows.Splitting = OpenWindow("350x400+400+100", "SPLITTING_DEPTHS:" + parameterFile);
  }
  if (damage) windows.Damage = OpenWindow("400x400+400+0", "DAMAGE_HISTOGRAM:" + parameterFile);
}

void OpenDisplayWindows(PlotWindows& windows, const std::string& prefix, bool damage) {
  windows.Doping = OpenWindow("550x600+0+0", "HISTOGRAM: " + prefix);
  if (damage) windows.Damage = OpenWindow("550x600+550+0", "DAMAGE_HISTOGRAM");
}

void ClosePlotWindows(PlotWindows& windows) {
  StopPlotter(windows.Doping);
  StopPlotter(windows.Splitting);
  StopPlotter(windows.Damage);
}

}  // namespace orvane
