// The statistical error of the depth bins of a histogram from its ions:
// for every bin, the sum over the ions of the square of each ion's weight
// in the bin, from entries grouped by ion, and the number of ions.  The
// copies that splitting makes of one ion, and the atoms of one molecule,
// thus count as one ion.
#pragma once

#include <cstdint>

namespace orvane {

class IonSpread {
 public:
  static constexpr int kBins = 101;

  // The next entry, of the given ion.
  void Next(uint32_t ion) {
    if (ions_ > 0 && ion == ion_) return;
    CloseIon();
    ion_ = ion;
    ++ions_;
  }

  // Weight of the current ion in a bin.
  void Add(int bin, double weight) {
    if (!touched_[bin]) {
      touched_[bin] = true;
      bins_[touchedCount_++] = bin;
    }
    ionWeight_[bin] += weight;
  }

  // Counts the current ion's weights in the squares: done by Error, and
  // before the current ion's entries are followed by those of another.
  void CloseIon();

  // The error of the bin's sum of weights over the closed ions: their
  // spread about their mean times the square root of their number; one ion
  // alone stands for its own weight.
  double Error(int bin, double sum) const;

 private:
  double squares_[kBins] = {};
  double ionWeight_[kBins] = {};
  bool touched_[kBins] = {};
  int bins_[kBins] = {};
  int touchedCount_ = 0;
  uint32_t ion_ = 0;
  int ions_ = 0;
};

}  // namespace orvane
