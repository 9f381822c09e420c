// The plotting windows of a run: the doping histogram, the rare-event
// splitting depths and the damage histogram.
#pragma once

#include <cstdio>
#include <string>

namespace orvane {

struct PlotWindows {
  std::FILE* Doping = nullptr;
  std::FILE* Splitting = nullptr;
  std::FILE* Damage = nullptr;
};

// Opens the windows whose switches are on, titled with the parameter file.
void OpenPlotWindows(PlotWindows& windows, const std::string& parameterFile, bool doping,
                     bool splitting, bool damage);

// The windows of the display-only mode: the histograms of one prefix and,
// when asked, the damage.
void OpenDisplayWindows(PlotWindows& windows, const std::string& prefix, bool damage);

void ClosePlotWindows(PlotWindows& windows);

}  // namespace orvane
