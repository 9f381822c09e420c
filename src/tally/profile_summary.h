// The figures of a depth profile that a process engineer asks for first:
// how many ions stayed in the target, where they lie, and how deep the tail
// reaches.
#pragma once

#include "tally/hist.h"

namespace orvane {

struct ProfileSummary {
  // Real ions (the sum of the statistical weights) by how they ended.
  double Implanted = 0.0;  // stayed in the target, followed to the end or not
  double Backscattered = 0.0;
  double Transmitted = 0.0;

  // Moments of the exact depths of the implanted ions, weighted.
  double MeanDepth = 0.0;  // angstrom
  double Straggle = 0.0;   // angstrom
  double Skewness = 0.0;   // 0 when the straggle is 0
  double Kurtosis = 0.0;   // 3 for a Gaussian; 0 when the straggle is 0

  // The profile as the profile file holds it: 100 bins, each at its lower
  // edge, and no ions beyond the deepest one.
  double PeakConcentration = 0.0;  // atoms/cm^3
  double PeakDepth = 0.0;          // angstrom
  // Concentration of one ion of the smallest weight in a bin: levels below
  // it are not resolved by the ions simulated.
  double OneIonConcentration = 0.0;

  double TotalIons() const { return Implanted + Backscattered + Transmitted; }
  // The share of all real ions, in percent (0 without ions).
  double Percent(double ions) const;
};

// The summary of a computed histogram (Hist::Compute).
ProfileSummary SummarizeProfile(const Hist& histogram);

// The depth (angstrom) beyond the peak where the profile of the computed
// histogram falls for good to the fraction of its peak: the profile is taken
// as straight lines between its bins, with 0 at the deepest ion.  0 for a
// profile without ions.
double FallOffDepth(const Hist& histogram, double fraction);

}  // namespace orvane
