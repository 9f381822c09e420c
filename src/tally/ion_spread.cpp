#include "tally/ion_spread.h"

#include <cmath>

namespace orvane {

void IonSpread::CloseIon() {
  for (int i = 0; i < touchedCount_; ++i) {
    const int bin = bins_[i];
    squares_[bin] += ionWeight_[bin] * ionWeight_[bin];
    ionWeight_[bin] = 0.0;
    touched_[bin] = false;
  }
  touchedCount_ = 0;
}

double IonSpread::Error(int bin, double sum) const {
  if (ions_ < 2) return std::sqrt(squares_[bin]);
  const double n = ions_;
  const double variance = (squares_[bin] - sum * sum / n) * n / (n - 1.0);
  return variance > 0.0 ? std::sqrt(variance) : 0.0;
}

}  // namespace orvane
