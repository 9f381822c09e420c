// Plots of the depth profiles through a pipe to the plotting program, on
// screen and as PostScript.  A null pipe (no plotting window, or a program
// that has died) plots nothing.
#pragma once

#include <cstdio>
#include <string>

#include "tally/tracked_species.h"

namespace orvane {

// The commands that plot the profiles "<dir>/.<name>_NN" of the tracked
// species on a logarithmic scale, titled with the trajectories, real and
// virtual ions of the last one; init and plot are the texts of "GPInit["
// and "GPPlot[" (the plot text follows each file name).
std::string FinalState1DCommands(const std::string& outputDirectory, const TrackedSpecies& tracked,
                                 const std::string& name, const std::string& init,
                                 const std::string& plot);

// Reads the profile headers and plots them in the doping histogram window;
// with postScript set, also as "<dir>/<name>.ps".  A profile that is missing
// ends the process with status 300.
void ShowFinalState1D(std::FILE*& pipe, const std::string& outputDirectory,
                      const TrackedSpecies& tracked, const std::string& name,
                      const std::string& init, const std::string& plot, bool postScript);

// The commands that copy the current plot as PostScript to
// "<dir>/<name>.ps" and return the window to the screen; with plainFormat
// set the y labels keep the plain number format, otherwise they read 10^n.
std::string PostScriptCommands(const std::string& outputDirectory, const std::string& name,
                               bool plainFormat);

// The commands that draw a profile file (depth, concentration, error band)
// as the PNG picture: concentration on a logarithmic scale against depth,
// with its error bars, under the title.
std::string ProfilePictureCommands(const std::string& profile, const std::string& picture,
                                   const std::string& title);

// The same for a joined profile of dose pieces (depth, concentration),
// which has no error band.
std::string JoinedPictureCommands(const std::string& profile, const std::string& picture,
                                  const std::string& title);

void ShowPS(std::FILE*& pipe, const std::string& outputDirectory, const std::string& name,
            bool plainFormat);

}  // namespace orvane
