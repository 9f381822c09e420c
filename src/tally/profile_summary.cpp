#include "tally/profile_summary.h"

#include <cmath>

#include "tally/pearson.h"
#include "tally/profile_files.h"

namespace orvane {

namespace {

void CountByEnd(const Hist& histogram, ProfileSummary& summary) {
  for (const HistEntry& entry : histogram.Entries) {
    if (entry.Status == BACK_SCATTERED) {
      summary.Backscattered += entry.Weight;
    } else if (entry.Status == OUTSIDE_ION) {
      summary.Transmitted += entry.Weight;
    } else {
      summary.Implanted += entry.Weight;
    }
  }
}

bool StayedInTarget(const HistEntry& entry) {
  return entry.Status != BACK_SCATTERED && entry.Status != OUTSIDE_ION;
}

void Moments(const Hist& histogram, ProfileSummary& summary) {
  if (!(summary.Implanted > 0.0)) return;
  double sum = 0.0;
  for (const HistEntry& entry : histogram.Entries) {
    if (StayedInTarget(entry)) sum += entry.Weight * entry.Depth;
  }
  const double mean = sum / summary.Implanted;
  double m2 = 0.0, m3 = 0.0, m4 = 0.0;
  for (const HistEntry& entry : histogram.Entries) {
    if (!StayedInTarget(entry)) continue;
    const double d = entry.Depth - mean;
    m2 += entry.Weight * d * d;
    m3 += entry.Weight * d * d * d;
    m4 += entry.Weight * d * d * d * d;
  }
  m2 /= summary.Implanted;
  m3 /= summary.Implanted;
  m4 /= summary.Implanted;
  summary.MeanDepth = mean;
  summary.Straggle = std::sqrt(m2);
  if (m2 > 0.0) {
    summary.Skewness = m3 / (m2 * summary.Straggle);
    summary.Kurtosis = m4 / (m2 * m2);
  }
}

int PeakCell(const DepthProfile& profile) {
  int peak = 0;
  for (int b = 1; b < profile.Count(); ++b) {
    if (profile.Cells[b] > profile.Cells[peak]) peak = b;
  }
  return peak;
}

double SmallestWeight(const Hist& histogram) {
  double smallest = 0.0;
  for (const HistEntry& entry : histogram.Entries) {
    if (entry.Weight > 0.0 && (smallest == 0.0 || entry.Weight < smallest)) smallest = entry.Weight;
  }
  return smallest;
}

// The value of the cell, 0 at the end of the last one.
double CellValue(const DepthProfile& profile, int cell) {
  return cell < profile.Count() ? profile.Cells[cell] : 0.0;
}

// Where the line from the cell to the next one meets the level, unscaled.
double Crossing(const DepthProfile& profile, int cell, double level) {
  const double here = profile.Cells[cell];
  const double t = (here - level) / (here - CellValue(profile, cell + 1));
  return profile.Depth(cell) + t * profile.Extent / profile.Count();
}

// Beyond the peak, the depth where the profile falls below the unscaled
// level for good.
double FallsBelow(const DepthProfile& profile, int peak, double level) {
  int last = profile.Count() - 1;
  while (last > peak && profile.Cells[last] < level) --last;
  return Crossing(profile, last, level);
}

PearsonPeak PeakOfFit(const DepthProfile& profile) {
  if (profile.Cells.empty()) return PearsonPeak{};
  const ProfileMoments moments =
      MomentsOfCells(profile.Cells.data(), profile.Count(), profile.Width());
  double held = 0.0;
  for (double cell : profile.Cells) held += cell;
  const double dose = held * profile.Scale * profile.Width() * 1e-8;  // atoms/cm^2
  return PearsonPeakOf(moments, profile.Width(), profile.Count(), dose);
}

}  // namespace

DepthProfile ProfileOf(const Hist& histogram) {
  DepthProfile profile;
  profile.Extent = histogram.Deepest;
  profile.Cells.assign(histogram.Conc, histogram.Conc + Hist::kBins);
  profile.Scale = ConcentrationScale(histogram);
  return profile;
}

double ProfileSummary::Percent(double ions) const {
  const double total = TotalIons();
  return total > 0.0 ? 100.0 * ions / total : 0.0;
}

ProfileSummary SummarizeProfile(const Hist& histogram, double background) {
  ProfileSummary summary;
  CountByEnd(histogram, summary);
  Moments(histogram, summary);
  const DepthProfile profile = ProfileOf(histogram);
  summary.OneIonConcentration = profile.Scale * SmallestWeight(histogram);
  SummarizeShape(profile, background, summary);
  return summary;
}

void SummarizeShape(const DepthProfile& profile, double background, ProfileSummary& summary) {
  if (profile.Cells.empty()) return;
  const int peak = PeakCell(profile);
  summary.PeakConcentration = profile.Scale * profile.Cells[peak];
  summary.PeakDepth = profile.Depth(peak);
  const PearsonPeak fit = PeakOfFit(profile);
  summary.PearsonFitted = fit.Fitted;
  summary.PearsonPeakConcentration = fit.Concentration;
  summary.PearsonPeakDepth = fit.Depth;
  summary.PearsonKurtosis = fit.Kurtosis;
  summary.PearsonKurtosisRaised = fit.KurtosisRaised;
  summary.Background = background > 0.0 ? background : 0.0;
  if (summary.Background > 0.0) {
    summary.JunctionDepths = JunctionDepths(profile, background, summary.Resolves(background));
  }
}

double FallOffDepth(const DepthProfile& profile, double fraction) {
  if (profile.Cells.empty()) return 0.0;
  const int peak = PeakCell(profile);
  const double level = fraction * profile.Cells[peak];
  if (!(level > 0.0)) return 0.0;
  return FallsBelow(profile, peak, level);
}

double FallOffDepth(const Hist& histogram, double fraction) {
  return FallOffDepth(ProfileOf(histogram), fraction);
}

std::vector<double> JunctionDepths(const DepthProfile& profile, double level, bool withRise) {
  std::vector<double> depths;
  if (profile.Cells.empty() || !(profile.Scale > 0.0) || !(level > 0.0)) return depths;
  const double unscaled = level / profile.Scale;
  const int peak = PeakCell(profile);
  if (profile.Cells[peak] < unscaled) return depths;
  // A first cell below the level alone is no buried profile: the cell at
  // the surface is the one that the ions fill least evenly.
  int first = 0;
  while (profile.Cells[first] < unscaled) ++first;
  if (withRise && first >= 2) depths.push_back(Crossing(profile, first - 1, unscaled));
  depths.push_back(FallsBelow(profile, peak, unscaled));
  return depths;
}

}  // namespace orvane
