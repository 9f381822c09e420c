// The depth histogram of one species: every tallied ion's final depth,
// statistical weight and rare-event quantity (its depth again, or its path
// length), from which 100-bin profiles are computed on demand.  The profile
// of the rare-event quantity places the depths at which the implant loop
// splits projectiles: each split depth is passed by half as many of the
// ions tallied so far as the one before it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <iosfwd>
#include <memory>
#include <string>

#include "core/particle.h"
#include "tally/ion_spread.h"
#include "tally/record_file.h"

namespace orvane {

struct HistEntry {
  double Depth = 0.0;          // angstrom
  double Weight = 0.0;         // real ions the entry stands for
  double E = 0.0;              // rare-event quantity, angstrom
  int Status = IMPLANTED_ION;  // how the ion ended: implanted, back scattered, transmitted, ...
  uint32_t Ion = 0;            // the implanted ion (or molecule) it comes from
};

struct Hist {
  static constexpr int kBins = 100;  // bins 0..99 are profiles; bin 100 holds the deepest entry
  static constexpr int kMaxSplitDepths = 20;

  double Dose = 0.0;                        // atoms per cm^2
  double RealIons = 0.0;                    // sum of the weights (computed)
  double LargestE = 0.0;                    // largest rare-event quantity (computed)
  RecordFile<HistEntry> Entries;            // one per tallied ion: the virtual ions
  int RareEvent = 0;                        // requested orders of magnitude
  int n = 0;                                // number of split depths
  double SplitDepth[kMaxSplitDepths] = {};  // angstrom, ascending
  double Conc[kBins + 1] = {};              // weight per depth bin
  double ConcE[kBins + 1] = {};             // weight per bin of the rare-event quantity
  double Err[kBins + 1] = {};               // statistical error of each depth bin
  double Deepest = 1.0;                     // angstrom (computed)
  double Shallowest = 0.0;                  // angstrom (computed)
  double Outside = 0.0;                     // weight of the entries above the surface (computed)

  // Prepares the histogram for a simulation: RareEvent orders of magnitude
  // give trunc(RareEvent log2(10)) split depths, spread evenly up to the
  // maximum depth (angstrom) until the first profile places them.  Ends the
  // process with status 402 for a negative request or one beyond 20 depths.
  void Initialize(int rareEvent, double maxDepth, double dose);

  // Appends the entry of a particle of the given ion that ended with the
  // status.  The entries of one ion follow each other.
  void Add(double depth, double weight, double e, int status, uint32_t ion) {
    Entries.Add(HistEntry{depth, weight, e, status, ion});
  }

  int VirtualIons() const { return static_cast<int>(Entries.Size() + entriesElsewhere_); }

  // A copy of every field but the entries, whose VirtualIons() is this
  // one's: what the profile files are written from, elsewhere.
  std::unique_ptr<Hist> ProfilesOnly() const;

  // Fills the computed fields and the profiles from the entries: bins of 1 %
  // of the deepest depth and of the largest rare-event quantity.  The error
  // of a depth bin is the spread over the ions of each ion's weight in the
  // bin, so that the copies that splitting makes of one ion, and the atoms
  // of one molecule, count as one ion; a bin without entries has the error
  // 1e10.  The sums are kept from one call to the next: while the deepest
  // depth and the largest quantity stay as they were, only the entries
  // added since are walked, in order, onto them, which gives the very
  // numbers of a walk of every entry; when either has grown, every entry
  // is walked again.
  void Compute();

  // Places the split depths where half, three quarters, ... of the real
  // ions lie above, from the profile of the rare-event quantity.
  void UpdateSplitDepths();

  // Appends the ion count and the split depths (nm) to "RE_Depths.NN" of the
  // species in the output directory (status 301 when it cannot) and plots
  // that file in the splitting-depths window, when there is one.
  void ShowSplitDepths(int species, uint32_t ions, const std::string& outputDirectory,
                       std::FILE*& pipe) const;

  // The commands that plot the split depths of the file at the path.
  std::string SplitDepthPlot(const std::string& path) const;

  // The console line of real and virtual ions of the species.
  void ShowIons(int species, std::ostream& out) const;

 private:
  // The sums of the entries walked so far, binned by the extremes they had.
  struct Walk {
    uint64_t Walked = 0;  // entries summed
    double Deepest = 0.0;
    double Shallowest = 1e10;
    double LargestE = 0.0;
    double RealIons = 0.0;
    double Outside = 0.0;
    double Conc[kBins + 1] = {};
    double ConcE[kBins + 1] = {};
    int Entries[kBins + 1] = {};
    IonSpread Spread;
  };

  // Sums the entries from walk_.Walked on.
  void WalkOn();

  Walk walk_;
  uint64_t entriesElsewhere_ = 0;  // those of the histogram this one copies
};

}  // namespace orvane
