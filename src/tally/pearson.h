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

// The moments of the depth bins 0..99 of a computed histogram, each bin at
// its lower edge, weighted by its ions and divided by the real ions.
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

// Writes "<dir>/PearsonIV_NN.dat": the moments and, when they define a
// Pearson IV, 100 lines of depth (nm) with the Gaussian and the Pearson IV
// concentrations (atoms/cm^3) of the histogram's dose; otherwise the line
// "# Cannot generate a Pearson IV".  A file that cannot be created is
// reported on standard error.
void SavePearsonIV(const Hist& histogram, int species, const std::string& outputDirectory);

}  // namespace orvane
