// The final ions of a run and weighted estimates from them.  The errors
// treat each real ion (every virtual ion of one ion number, after
// rare-event splitting) as one independent draw, so they hold for runs with
// and without splitting.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orvane_test {

struct FinalIon {
  long number = 0;     // the ion (or, from a coordinates file, the line)
  double depth = 0.0;  // nm
  double weight = 0.0;
  std::string status;  // empty for an implanted ion
};

// The per-ion console lines: number, depth, weight, path, time, status.
std::vector<FinalIon> FinalIons(const std::string& out);
// The lines of an "Ion.ss.coordinates.dat" file (depth, weight).
std::vector<FinalIon> CoordinateIons(const std::string& text);
std::vector<FinalIon> Implanted(const std::vector<FinalIon>& ions);

struct Estimate {
  double value = 0.0;
  double error = 0.0;  // one standard error
};

// The weighted mean of f over the ions.
Estimate WeightedMean(const std::vector<FinalIon>& ions,
                      const std::function<double(const FinalIon&)>& f);
Estimate MeanDepth(const std::vector<FinalIon>& ions);
Estimate Straggle(const std::vector<FinalIon>& ions);
// The share of the weight that lies deeper than the depth (nm).
Estimate FractionDeeper(const std::vector<FinalIon>& ions, double depth);

// The areal density (at/cm^2) under a depth profile file: depth (nm) and
// concentration (at/cm^3) on each line, in bins of equal width.
double ProfileDose(const std::string& text);

// Whether two estimates differ by less than k standard errors of their
// difference.
bool Agree(const Estimate& a, const Estimate& b, double k);
std::string Describe(const Estimate& e);

}  // namespace orvane_test
