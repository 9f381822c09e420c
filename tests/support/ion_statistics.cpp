#include "support/ion_statistics.h"

#include <cmath>
#include <map>
#include <sstream>

namespace orvane_test {

std::vector<FinalIon> FinalIons(const std::string& out) {
  std::vector<FinalIon> ions;
  std::istringstream is(out);
  for (std::string line; std::getline(is, line);) {
    std::istringstream fields(line);
    FinalIon ion;
    double path, time;
    if (!(fields >> ion.number >> ion.depth >> ion.weight >> path >> time)) continue;
    for (std::string word; fields >> word;) ion.status += (ion.status.empty() ? "" : " ") + word;
    ions.push_back(ion);
  }
  return ions;
}

std::vector<FinalIon> CoordinateIons(const std::string& text) {
  std::vector<FinalIon> ions;
  std::istringstream is(text);
  for (std::string line; std::getline(is, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    FinalIon ion;
    double x, y, z;
    if (!(fields >> x >> y >> z >> ion.weight)) continue;
    ion.number = static_cast<long>(ions.size()) + 1;
    ion.depth = x * 0.1;
    ions.push_back(ion);
  }
  return ions;
}

std::vector<FinalIon> Implanted(const std::vector<FinalIon>& ions) {
  std::vector<FinalIon> implanted;
  for (const FinalIon& ion : ions) {
    if (ion.status.empty() && ion.depth >= 0.0) implanted.push_back(ion);
  }
  return implanted;
}

Estimate WeightedMean(const std::vector<FinalIon>& ions,
                      const std::function<double(const FinalIon&)>& f) {
  // Per real ion: its weight and its weighted sum of f.
  std::map<long, std::pair<double, double>> perIon;
  double weight = 0.0, sum = 0.0;
  for (const FinalIon& ion : ions) {
    auto& [w, s] = perIon[ion.number];
    w += ion.weight;
    s += ion.weight * f(ion);
    weight += ion.weight;
    sum += ion.weight * f(ion);
  }
  Estimate e;
  if (weight <= 0.0) return e;
  e.value = sum / weight;
  // The ratio estimator's variance, with each real ion one draw.
  double spread = 0.0;
  for (const auto& [number, ws] : perIon) {
    const double d = ws.second - e.value * ws.first;
    spread += d * d;
  }
  const double n = static_cast<double>(perIon.size());
  e.error = n > 1 ? std::sqrt(spread * n / (n - 1)) / weight : 0.0;
  return e;
}

Estimate MeanDepth(const std::vector<FinalIon>& ions) {
  return WeightedMean(ions, [](const FinalIon& ion) { return ion.depth; });
}

Estimate Straggle(const std::vector<FinalIon>& ions) {
  const double mean = MeanDepth(ions).value;
  const Estimate variance = WeightedMean(ions, [mean](const FinalIon& ion) {
    return (ion.depth - mean) * (ion.depth - mean);
  });
  const double straggle = std::sqrt(variance.value);
  return {straggle, straggle > 0.0 ? variance.error / (2.0 * straggle) : 0.0};
}

Estimate FractionDeeper(const std::vector<FinalIon>& ions, double depth) {
  return WeightedMean(ions, [depth](const FinalIon& ion) { return ion.depth > depth ? 1.0 : 0.0; });
}

double ProfileDose(const std::string& text) {
  std::vector<double> depths;
  double concentrations = 0.0;
  std::istringstream is(text);
  for (std::string line; std::getline(is, line);) {
    std::istringstream fields(line);
    double depth, concentration;
    if (line.empty() || line[0] == '#' || !(fields >> depth >> concentration)) continue;
    depths.push_back(depth);
    concentrations += concentration;
  }
  if (depths.size() < 2) return 0.0;
  return concentrations * (depths[1] - depths[0]) * 1e-7;
}

bool Agree(const Estimate& a, const Estimate& b, double k) {
  return std::fabs(a.value - b.value) < k * std::hypot(a.error, b.error);
}

std::string Describe(const Estimate& e) {
  std::ostringstream text;
  text << e.value << " +- " << e.error;
  return text.str();
}

}  // namespace orvane_test
