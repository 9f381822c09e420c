// The per-ion console lines of a run (number, depth in nm, weight, path,
// time, status) and the statistics of the depths that tests compare.
#pragma once

#include <string>
#include <vector>

namespace orvane_test {

struct Ion {
  double depth = 0;  // nm
  std::string status;
};

std::vector<Ion> IonLines(const std::string& out);
// The depths of the ions that came to rest inside the target (no status).
std::vector<double> ImplantedDepths(const std::string& out);

double Mean(const std::vector<double>& v);
// The standard deviation about the mean.
double Straggle(const std::vector<double>& v);
// The depth below which the deepest fraction of the values lie.
double DeepTail(std::vector<double> v, double fraction);

}  // namespace orvane_test
