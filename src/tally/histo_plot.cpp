#include "tally/histo_plot.h"

#include "core/fatal.h"
#include "core/plot_pipe.h"
#include "tally/result_names.h"

namespace orvane {

// The command texts use the current plotting program's spellings where it
// refuses the old ones: "set style data" for "set data style" and "unset
// timestamp" for "set notime".

namespace {

// The numbers of the first line of a profile file.
struct ProfileHeader {
  int Trajectories = 0;
  double RealIons = 0.0;
  double VirtualIons = 0.0;
};

ProfileHeader ReadProfileHeader(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) {
    Fatal(300, "# Error: ShowFinalState1D, File " + path + " not found\n");
  }
  ProfileHeader header;
  char marker = 0;
  if (std::fscanf(file, "%c %d %lf %lf\n", &marker, &header.Trajectories, &header.RealIons,
                  &header.VirtualIons) != 4) {
    header = ProfileHeader{};
  }
  std::fclose(file);
  return header;
}

std::string Title(const ProfileHeader& header) {
  char title[256];
  std::snprintf(title, sizeof title,
                "set title \"Trajectories = %d, Real ION = %g, Virtual ION = %g\"\n",
                header.Trajectories, header.RealIons, header.VirtualIons);
  return title;
}

}  // namespace

std::string FinalState1DCommands(const std::string& outputDirectory, const TrackedSpecies& tracked,
                                 const std::string& name, const std::string& init,
                                 const std::string& plot) {
  ProfileHeader header;
  std::string files;
  for (int species : tracked) {
    const std::string path = ProfileFileName(outputDirectory, name, species);
    header = ReadProfileHeader(path);
    if (!files.empty()) files += ",";
    files += GnuplotQuote(path) + plot;
  }
  return "set style data lines; set log y\n"
         "set xlabel \"Depth (nm)\"\n"
         "set ylabel \"Conc. (at/cm^3)\"\n" +
         Title(header) + init + "\n" + "plot " + files + "\n";
}

void ShowFinalState1D(std::FILE*& pipe, const std::string& outputDirectory,
                      const TrackedSpecies& tracked, const std::string& name,
                      const std::string& init, const std::string& plot, bool postScript) {
  if (tracked.Count() == 0) return;  // nothing to plot
  SendPlot(pipe, FinalState1DCommands(outputDirectory, tracked, name, init, plot));
  if (postScript) ShowPS(pipe, outputDirectory, name, false);
  SendPlot(pipe, "reset\n");
}

std::string PostScriptCommands(const std::string& outputDirectory, const std::string& name,
                               bool plainFormat) {
  const std::string powers = "set size 0.7,0.35; set format y \"10^{%T}\"\n";
  return "set term post portrait enh color solid \"Helvetica\" 8\n" + powers +
         (plainFormat ? "set size 0.7,0.35; set format \n" : powers) + "set output " +
         GnuplotQuote(outputDirectory + "/" + name + ".ps") + "\n" +
         "unset timestamp; set title; replot\n"
         "set term x11; unset timestamp; set title\n";
}

namespace {

// The PNG terminal, the logarithmic axes and the title of a profile picture.
std::string ProfileAxes(const std::string& picture, const std::string& title) {
  return PictureTerminal(picture) +
         "set logscale y; set format y '10^{%T}'; set grid\n"
         "set xlabel 'Depth (nm)'; set ylabel 'Concentration (at/cm^3)'\n"
         "set title " +
         GnuplotQuote(title) + "\n";
}

}  // namespace

std::string ProfilePictureCommands(const std::string& profile, const std::string& picture,
                                   const std::string& title) {
  // Empty bins and lower error bounds at or below 0 have no place on a
  // logarithmic scale: the bins are left out, the bounds cut at a tenth of
  // the concentration (a bin of one ion has an error of 100 %).
  return ProfileAxes(picture, title) + "plot " + GnuplotQuote(profile) +
         " using 1:($2 > 0 ? $2 : 1/0):($3 > $2 / 10 ? $3 : $2 / 10):4"
         " with yerrorbars pointtype 7 pointsize 0.5 title 'Concentration',"
         " '' using 1:($2 > 0 ? $2 : 1/0) with lines notitle\n"
         "unset output\n";
}

std::string JoinedPictureCommands(const std::string& profile, const std::string& picture,
                                  const std::string& title) {
  return ProfileAxes(picture, title) + "plot " + GnuplotQuote(profile) +
         " using 1:($2 > 0 ? $2 : 1/0) with linespoints pointtype 7 pointsize 0.5"
         " title 'Concentration'\n"
         "unset output\n";
}

void ShowPS(std::FILE*& pipe, const std::string& outputDirectory, const std::string& name,
            bool plainFormat) {
  SendPlot(pipe, PostScriptCommands(outputDirectory, name, plainFormat));
}

}  // namespace orvane
