// The first four moments of a depth profile and the Pearson IV and Gaussian
// profiles that they define.
#pragma once

#include <string>

#include "tally/hist.h"

namespace orvane {

struct ProfileMoments {
  double MeanRange = 0.0;  // m1, angstrom
  double Straggle = 0.0;   // sigma, angstrom
  double Skewness = 0.0;   // gamma; the third central moment itself when sigma is 0
  double Kurtosis = 0.0;   // beta; the fourth central moment itself when sigma is 0
};

// The moments of count cells of the given width (angstrom), each cell at
// its centre and weighted by its value, divided by what the cells hold
// (all 0 for cells that hold nothing).
ProfileMoments MomentsOfCells(const double* cells, int count, double width);

// The weight that the depth bins 0..99 of a computed histogram hold: the
// real ions but those above the surface and the deepest one (bin 100).
double ProfileWeight(const Hist& histogram);

// The moments of the depth bins 0..99 of a computed histogram, each bin at
// its centre, weighted by its ions and divided by the weight the bins hold
// (all 0 for a profile without weight).
ProfileMoments MomentsOf(const Hist& histogram);

// The coefficients of the Pearson equation d ln f / dX = (X - b1) /
// (b0 + b1 X + b2 X^2), X the depth from the mean range, that the moments
// fix.
struct PearsonCoefficients {
  double b0 = 0.0;
  double b1 = 0.0;
  double b2 = 0.0;

  explicit PearsonCoefficients(const ProfileMoments& moments);
  // Pearson type IV needs a denominator without real roots.
  bool IsTypeIV() const;
};

// The atoms/cm^2 that the depth bins of a computed histogram hold: its dose
// in the share of its real ions that lie in the bins.
double ProfileDose(const Hist& histogram);

// The highest point of the Pearson IV that the moments define, normalised
// as "PearsonIV_NN.dat" normalises it: to the dose (atoms/cm^2) over the
// points i * width (angstrom), i = 0 .. points-1.  Its depth is that of the
// curve's maximum, the surface when the maximum lies above it.  Moments
// whose kurtosis lies below the Pearson IV region are fitted with the
// smallest kurtosis of the region instead (a profile of few ions, or one
// close to a Gaussian, often has one); the mean, the straggle and the
// skewness are kept.
struct PearsonPeak {
  bool Fitted = false;         // false when no Pearson IV fits (no ions, no spread)
  double Depth = 0.0;          // angstrom
  double Concentration = 0.0;  // atoms/cm^3
  double Kurtosis = 0.0;       // of the curve fitted
  bool KurtosisRaised = false;  // the profile's lay below the Pearson IV region
};

// The smallest kurtosis at which the skewness gives a Pearson IV (its
// boundary with type V), raised by a thousandth so that it lies inside.
double SmallestPearsonIVKurtosis(double skewness);
PearsonPeak PearsonPeakOf(const ProfileMoments& moments, double width, int points, double dose);

// Writes "<dir>/PearsonIV_NN.dat": the moments and, when they define a
// Pearson IV, 100 lines of depth (nm, the bins' lower edges) with the
// Gaussian and the Pearson IV concentrations (atoms/cm^3) that hold what
// the profile holds, the histogram's dose in the share of its real ions
// that lie in the depth bins; otherwise the line
// "# Cannot generate a Pearson IV".  A file that cannot be created is
// reported on standard error.
void SavePearsonIV(const Hist& histogram, int species, const std::string& outputDirectory);

}  // namespace orvane
