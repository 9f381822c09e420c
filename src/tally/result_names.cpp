#include "tally/result_names.h"

#include <cstdio>

namespace orvane {

namespace {

std::string TwoDigits(int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%02d", number);
  return digits;
}

}  // namespace

std::string HistogramPrefix(const std::string& hstFile, int k) { return hstFile + TwoDigits(k); }

std::string ProfileFileName(const std::string& outputDirectory, const std::string& name,
                            int species) {
  return outputDirectory + "/." + name + "_" + TwoDigits(species);
}

std::string RareEventFileName(const std::string& outputDirectory, const std::string& name,
                              int species) {
  return outputDirectory + "/.D_" + name + "_" + TwoDigits(species);
}

std::string PearsonFileName(const std::string& outputDirectory, int species) {
  return outputDirectory + "/PearsonIV_" + TwoDigits(species) + ".dat";
}

std::string CoordinatesFileName(const std::string& outputDirectory, int species) {
  return outputDirectory + "/Ion." + TwoDigits(species) + ".coordinates.dat";
}

std::string Histo3DBinaryFileName(const std::string& outputDirectory, int species) {
  return outputDirectory + "/Ion." + TwoDigits(species) + ".histo3D.bin";
}

std::string Histo3DTextFileName(const std::string& outputDirectory, int species) {
  return outputDirectory + "/Ion." + TwoDigits(species) + ".histo3D.dat";
}

}  // namespace orvane
