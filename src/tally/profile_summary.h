// The figures of a depth profile that a process engineer asks for first:
// how many ions stayed in the target, where they lie, how deep the tail
// reaches and where the profile meets the substrate's background doping.
#pragma once

#include <vector>

#include "tally/hist.h"

namespace orvane {

// A depth profile as its file holds it: cells of equal width from the
// surface to Extent, each at its lower edge, Scale times each cell's value
// in atoms/cm^3, and 0 at the end of the last cell.
struct DepthProfile {
  double Extent = 0.0;  // angstrom
  std::vector<double> Cells;
  double Scale = 1.0;

  int Count() const { return static_cast<int>(Cells.size()); }
  double Width() const { return Extent / Count(); }
  double Depth(int cell) const { return cell * Extent / Count(); }
};

// The 100 depth bins of a computed histogram (Hist::Compute), scaled as the
// profile file scales them.
DepthProfile ProfileOf(const Hist& histogram);

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

  // The peak of the Pearson IV that the moments of the profile's bins
  // define, which does not jump from bin to bin with the noise.
  bool PearsonFitted = false;  // false without ions or spread
  double PearsonPeakConcentration = 0.0;  // atoms/cm^3
  double PearsonPeakDepth = 0.0;          // angstrom
  double PearsonKurtosis = 0.0;  // of the curve fitted
  bool PearsonKurtosisRaised = false;  // the profile's lay below the Pearson IV region

  // The junctions with the background doping (atoms/cm^3, 0 for none):
  // where the profile rises above it from the surface (only when it starts
  // below it and the background lies at or above one ion per bin) and where
  // it falls below it for good, shallow first; empty when the profile never
  // reaches the background.
  double Background = 0.0;
  std::vector<double> JunctionDepths;  // angstrom

  double TotalIons() const { return Implanted + Backscattered + Transmitted; }
  // The share of all real ions, in percent (0 without ions).
  double Percent(double ions) const;
  // Whether a concentration lies at or above one ion in a bin.
  bool Resolves(double concentration) const { return concentration >= OneIonConcentration; }
};

// The summary of a computed histogram (Hist::Compute), with the junctions
// with the background doping when it is positive.
ProfileSummary SummarizeProfile(const Hist& histogram, double background = 0.0);

// The peak, the Pearson IV peak and the junctions of a profile; the counts,
// the moments and the one-ion concentration are left to the caller, which
// sets the last first.
void SummarizeShape(const DepthProfile& profile, double background, ProfileSummary& summary);

// The depth (angstrom) beyond the peak where the profile falls for good to
// the fraction of its peak: the profile is taken as straight lines between
// its cells, with 0 at the end of the last one.  0 for a profile without
// ions.
double FallOffDepth(const DepthProfile& profile, double fraction);
double FallOffDepth(const Hist& histogram, double fraction);

// Where the profile meets the level (atoms/cm^3), on the lines between its
// cells: with withRise, where it rises to the level before its peak when
// its first two cells lie below it, and where it falls below the level for
// good; empty when its peak lies below the level.  Cells that no ion
// reached lie below any level, so a level below one ion per cell has no
// rise.
std::vector<double> JunctionDepths(const DepthProfile& profile, double level,
                                   bool withRise = true);

}  // namespace orvane
