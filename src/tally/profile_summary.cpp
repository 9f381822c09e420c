#include "tally/profile_summary.h"

#include <cmath>

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

double BinDepth(const Hist& histogram, int bin) { return bin * histogram.Deepest / Hist::kBins; }

int PeakBin(const Hist& histogram) {
  int peak = 0;
  for (int b = 1; b < Hist::kBins; ++b) {
    if (histogram.Conc[b] > histogram.Conc[peak]) peak = b;
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

}  // namespace

double ProfileSummary::Percent(double ions) const {
  const double total = TotalIons();
  return total > 0.0 ? 100.0 * ions / total : 0.0;
}

ProfileSummary SummarizeProfile(const Hist& histogram) {
  ProfileSummary summary;
  CountByEnd(histogram, summary);
  Moments(histogram, summary);
  const double scale = ConcentrationScale(histogram);
  const int peak = PeakBin(histogram);
  summary.PeakConcentration = scale * histogram.Conc[peak];
  summary.PeakDepth = BinDepth(histogram, peak);
  summary.OneIonConcentration = scale * SmallestWeight(histogram);
  return summary;
}

double FallOffDepth(const Hist& histogram, double fraction) {
  const int peak = PeakBin(histogram);
  const double level = fraction * histogram.Conc[peak];
  if (!(level > 0.0)) return 0.0;
  // The last bin at or above the level; the profile is 0 at the deepest ion.
  int last = Hist::kBins - 1;
  while (last > peak && histogram.Conc[last] < level) --last;
  const double next = last + 1 < Hist::kBins ? histogram.Conc[last + 1] : 0.0;
  const double above = histogram.Conc[last];
  const double t = (above - level) / (above - next);
  return BinDepth(histogram, last) + t * histogram.Deepest / Hist::kBins;
}

}  // namespace orvane
