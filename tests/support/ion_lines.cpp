#include "support/ion_lines.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace orvane_test {

std::vector<Ion> IonLines(const std::string& out) {
  std::vector<Ion> ions;
  std::istringstream is(out);
  for (std::string line; std::getline(is, line);) {
    std::istringstream fields(line);
    long number;
    double depth, weight, path, time;
    if (!(fields >> number >> depth >> weight >> path >> time)) continue;
    std::string status, word;
    while (fields >> word) status += (status.empty() ? "" : " ") + word;
    ions.push_back({depth, status});
  }
  return ions;
}

std::vector<double> ImplantedDepths(const std::string& out) {
  std::vector<double> depths;
  for (const Ion& ion : IonLines(out)) {
    if (ion.status.empty()) depths.push_back(ion.depth);
  }
  return depths;
}

double Mean(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return s / v.size();
}

double Straggle(const std::vector<double>& v) {
  const double m = Mean(v);
  double s = 0;
  for (double x : v) s += (x - m) * (x - m);
  return std::sqrt(s / v.size());
}

double DeepTail(std::vector<double> v, double fraction) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>((1.0 - fraction) * (v.size() - 1))];
}

}  // namespace orvane_test
