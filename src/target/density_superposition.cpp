#include "target/density_superposition.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iomanip>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "core/fatal.h"

namespace orvane {

namespace {

// One lattice atom as a source of density: the tables of its species and
// the weight of the first.
struct Source {
  const EDT1D* first;
  const EDT1D* second;  // null for a site of one species
  double fraction;

  double At(double r) const {
    if (second == nullptr) return first->Density(r);
    return fraction * first->Density(r) + (1.0 - fraction) * second->Density(r);
  }
};

class Superposition {
 public:
  Superposition(const List<Site>& sites, const IsolatedDensities& densities, EDT& grid,
                std::ostream* progress)
      : grid_(grid), progress_(progress) {
    for (const Site& site : sites) sources_.push_back(SourceOf(site, densities));
    for (int axis = 0; axis < 3; ++axis) {
      points_[axis] = grid.Points(axis);
      SquaredOffsets(sites, axis, grid.Side(axis), points_[axis], squares_[axis]);
    }
  }

  void Run() {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int workers = std::min(cores, points_[0]);
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w) threads.emplace_back([this] { Work(); });
    Work();
    for (std::thread& thread : threads) thread.join();
  }

 private:
  static Source SourceOf(const Site& site, const IsolatedDensities& densities) {
    Require(site.Species < kDensityTables && site.SpeciesA < kDensityTables &&
                site.SpeciesB < kDensityTables,
            "Species<11", "density_superposition", __LINE__);
    if (site.Fraction == 1.0) return {&densities[site.Species], nullptr, 1.0};
    return {&densities[site.SpeciesA], &densities[site.SpeciesB], site.Fraction};
  }

  // (coordinate of grid point i - site coordinate)^2, for every point i of
  // the axis and every site, site fastest.
  static void SquaredOffsets(const List<Site>& sites, int axis, double side, int points,
                             std::vector<double>& squares) {
    for (int i = 0; i < points; ++i) {
      const double coordinate = -side / 2.0 + i * side / points;
      for (const Site& site : sites) {
        const double position = axis == 0 ? site.R.x : axis == 1 ? site.R.y : site.R.z;
        const double offset = coordinate - position;
        squares.push_back(offset * offset);
      }
    }
  }

  void Work() {
    const std::size_t count = sources_.size();
    std::vector<double> planeSquares(count);
    for (int i = nextPlane_++; i < points_[0]; i = nextPlane_++) {
      const double* dx2 = &squares_[0][i * count];
      for (int j = 0; j < points_[1]; ++j) {
        const double* dy2 = &squares_[1][j * count];
        for (std::size_t s = 0; s < count; ++s) planeSquares[s] = dx2[s] + dy2[s];
        for (int k = 0; k < points_[2]; ++k) {
          const double* dz2 = &squares_[2][k * count];
          double rho = 0.0;
          for (std::size_t s = 0; s < count; ++s) {
            rho += sources_[s].At(std::sqrt(planeSquares[s] + dz2[s]));
          }
          grid_.Set(i, j, k, rho);
        }
      }
      ReportPlaneDone();
    }
  }

  void ReportPlaneDone() {
    std::lock_guard<std::mutex> lock(progressMutex_);
    const int remaining = points_[0] - planesDone_++;
    if (progress_ != nullptr) *progress_ << std::setw(8) << remaining << "\b\b\b\b\b\b\b\b\b";
  }

  EDT& grid_;
  std::ostream* progress_;
  std::vector<Source> sources_;
  int points_[3] = {0, 0, 0};
  std::vector<double> squares_[3];
  std::atomic<int> nextPlane_{0};
  std::mutex progressMutex_;
  int planesDone_ = 0;
};

}  // namespace

void SuperposeDensities(const List<Site>& sites, const IsolatedDensities& densities, EDT& grid,
                        std::ostream* progress) {
  Require(!grid.Empty(), "Values!=NULL", "density_superposition", __LINE__);
  Superposition(sites, densities, grid, progress).Run();
}

}  // namespace orvane
