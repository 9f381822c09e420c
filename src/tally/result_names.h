// The names of the result files that the histograms of a simulation leave
// in the output directory.  Species and simulation numbers appear as two
// digits.
#pragma once

#include <string>

namespace orvane {

// The histogram prefix of simulation k: the "HSTFile[" text (without its
// final blank) followed by k, for instance "Histo1D.01".
std::string HistogramPrefix(const std::string& hstFile, int k);

// The depth profile of a species: "<dir>/.<name>_NN".
std::string ProfileFileName(const std::string& outputDirectory, const std::string& name,
                            int species);

// The profile of the rare-event quantity: "<dir>/.D_<name>_NN".
std::string RareEventFileName(const std::string& outputDirectory, const std::string& name,
                              int species);

// The moments with the Pearson IV and Gaussian profiles: "<dir>/PearsonIV_NN.dat".
std::string PearsonFileName(const std::string& outputDirectory, int species);

// The final ion positions: "<dir>/Ion.NN.coordinates.dat".
std::string CoordinatesFileName(const std::string& outputDirectory, int species);

// The 3-D concentration histogram, binary and text: "<dir>/Ion.NN.histo3D.bin"
// and "<dir>/Ion.NN.histo3D.dat".
std::string Histo3DBinaryFileName(const std::string& outputDirectory, int species);
std::string Histo3DTextFileName(const std::string& outputDirectory, int species);

}  // namespace orvane
