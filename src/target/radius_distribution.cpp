#include "target/radius_distribution.h"

namespace orvane {

namespace {

constexpr double kBinWidth = 0.02;  // bohr, the rows of the stopping tables

}  // namespace

RadiusDistribution RadiusDistribution::OfGrid(const EDT& density) {
  std::vector<double> count, radiusSum;
  const int nx = density.Points(0), ny = density.Points(1), nz = density.Points(2);
  for (int i = 0; i < nx; ++i) {
    for (int j = 0; j < ny; ++j) {
      for (int k = 0; k < nz; ++k) {
        const double n = density.At(i, j, k);
        if (!(n > 0.0)) continue;
        const double rs = OneElectronRadius(n);
        const std::size_t bin = static_cast<std::size_t>(rs / kBinWidth);
        if (bin >= count.size()) {
          count.resize(bin + 1, 0.0);
          radiusSum.resize(bin + 1, 0.0);
        }
        count[bin] += 1.0;
        radiusSum[bin] += rs;
      }
    }
  }
  RadiusDistribution distribution;
  const double points = static_cast<double>(nx) * ny * nz;
  for (std::size_t bin = 0; bin < count.size(); ++bin) {
    if (count[bin] == 0.0) continue;
    distribution.Radius.push_back(radiusSum[bin] / count[bin]);
    distribution.Share.push_back(count[bin] / points);
  }
  return distribution;
}

}  // namespace orvane
