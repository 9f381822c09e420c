// The non-local loss of the flights of a boron ion at 1-10 keV in
// crystalline silicon, as a run meets them: the density of diamond
// silicon superposed from the shipped isolated-atom density on the
// program's 112^3 grid, the stopping table of boron, 4096 flights from
// random points of the cell in random directions, one in eight a free
// flight of 0.1 A, the others collision flights of 0.1 to 3 A that lose up
// to 5 % of their energy to the partner, among the diamond sites within
// 2.7 A of their start; the energy falls from 10 to 1 keV from the first
// flight to the last.  Each iteration takes the next flight, so the density
// table is read from all over, as in a run.
// `classic` sums the 30 sub-steps one after another (the run of one
// stream), `integrated` side by side (the parallel run); `linearized` is
// the share of flights whose linearized sum holds.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "diamond_silicon.h"
#include "physics/integrated_loss.h"
#include "physics/nonlocal_loss.h"
#include "physics/site_potential.h"
#include "physics/stp.h"

namespace {

using namespace orvane;

constexpr double kBoronZ = 5.0;
constexpr double kBoronMass = 10.81;  // amu
constexpr double kCell = 5.431;       // A

class ScratchTables {
 public:
  ScratchTables() {
    char pattern[] = "/tmp/orvane-flight-bench-XXXXXX";
    directory_ = std::string(mkdtemp(pattern)) + "/";
    setenv("TABLES3DDIR", directory_.c_str(), 1);
  }
  ~ScratchTables() { std::filesystem::remove_all(directory_); }

 private:
  std::string directory_;
};

STP& BoronStopping() {
  static const ScratchTables tables;
  static STP stp;
  static const bool warm = (stp.Stopping(1.0, kBoronZ, 2.0), true);
  (void)warm;
  return stp;
}

const EDT& SiliconDensity() {
  static const EDT table = [] {
    EDT grid;
    grid.Initialise(kCell, kCell, kCell, 112, 112, 112);
    SuperposeDensities(orvane_bench::DiamondSilicon().Sites, *orvane_bench::SiliconAtomDensity(),
                       grid, nullptr);
    return grid;
  }();
  return table;
}

struct Case {
  Flight flight;
  List<Vector> sites;
  double z2 = 0.0;
};

// The diamond sites within 2.7 A of the point.
List<Vector> SitesAround(const Vector& point) {
  static const double kDiamond[8][3] = {{0, 0, 0},          {0, 0.5, 0.5},      {0.5, 0, 0.5},
                                        {0.5, 0.5, 0},      {0.25, 0.25, 0.25}, {0.25, 0.75, 0.75},
                                        {0.75, 0.25, 0.75}, {0.75, 0.75, 0.25}};
  List<Vector> sites;
  for (int a = -1; a <= 1; ++a)
    for (int b = -1; b <= 1; ++b)
      for (int c = -1; c <= 1; ++c)
        for (const auto& atom : kDiamond) {
          const Vector site = (Vector(a, b, c) + Vector(atom[0], atom[1], atom[2])) * kCell;
          if (Distance(site, point) < 2.7) sites.Add(site);
        }
  return sites;
}

const std::vector<Case>& Flights() {
  static const std::vector<Case> cases = [] {
    std::vector<Case> all(4096);
    std::mt19937_64 random(1234);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (std::size_t n = 0; n < all.size(); ++n) {
      Case& c = all[n];
      Flight& f = c.flight;
      f.start = Vector(uniform(random), uniform(random), uniform(random)) * kCell;
      f.direction =
          Normalized(Vector(uniform(random) - 0.5, uniform(random) - 0.5, uniform(random) - 0.5));
      // The energy falls from flight to flight, as an ion's does.
      f.startEnergy = 1e4 * std::pow(0.1, static_cast<double>(n) / all.size());
      if (n % 8 == 0) {
        f.length = 0.1 + 1.0862e-05;
        f.endEnergy = f.startEnergy;
      } else {
        f.length = 0.1 * std::pow(30.0, uniform(random));
        f.endEnergy = f.startEnergy * (1.0 - 0.05 * uniform(random));
        c.sites = SitesAround(f.start);
        c.z2 = 14.0;
      }
    }
    return all;
  }();
  return cases;
}

template <class Loss>
void TimeFlights(benchmark::State& state, const Loss& loss) {
  STP& stp = BoronStopping();
  const EDT& density = SiliconDensity();
  const std::vector<Case>& cases = Flights();
  std::size_t n = 0;
  for (auto _ : state) {
    const Case& c = cases[n];
    benchmark::DoNotOptimize(loss(stp, density, c.sites, kBoronZ, kBoronMass, c.flight, c.z2));
    n = (n + 1) % cases.size();
  }
}

void BM_FlightLoss_Classic(benchmark::State& state) {
  TimeFlights(state, [](STP& stp, const EDT& density, const List<Vector>& sites, double z1,
                        double m1, const Flight& flight, double z2) {
    return NonlocalLoss(stp, density, sites, z1, m1, flight, z2);
  });
}
BENCHMARK(BM_FlightLoss_Classic);

void BM_FlightLoss_Integrated(benchmark::State& state) {
  TimeFlights(state, IntegratedNonlocalLoss);
  // The share of the flights whose linearized sum holds.
  STP& stp = BoronStopping();
  const EDT& density = SiliconDensity();
  int linearized = 0;
  for (const Case& c : Flights()) {
    const Flight& f = c.flight;
    const Vector step = f.direction * (f.length / kFlightSubSteps);
    double densities[kFlightSubSteps], potentials[kFlightSubSteps], loss;
    DensitiesAlong(density, f.start, step, kFlightSubSteps, densities);
    SitePotential(c.sites, kBoronZ, c.z2).Along(f.start, step, kFlightSubSteps, potentials);
    linearized += LinearizedLoss(stp.TableOf(kBoronZ), densities, potentials, kBoronMass, f, loss);
  }
  state.counters["linearized"] = static_cast<double>(linearized) / Flights().size();
}
BENCHMARK(BM_FlightLoss_Integrated);

// The parts: the densities of the 30 sub-steps, and the potential energies
// among the nearby sites.
void BM_FlightLoss_DensitiesOnly(benchmark::State& state) {
  TimeFlights(state, [](STP&, const EDT& density, const List<Vector>&, double, double,
                        const Flight& flight, double) {
    double densities[kFlightSubSteps];
    DensitiesAlong(density, flight.start, flight.direction * (flight.length / kFlightSubSteps),
                   kFlightSubSteps, densities);
    return densities[kFlightSubSteps - 1];
  });
}
BENCHMARK(BM_FlightLoss_DensitiesOnly);

void BM_FlightLoss_PotentialsOnly(benchmark::State& state) {
  TimeFlights(state, [](STP&, const EDT&, const List<Vector>& sites, double z1, double,
                        const Flight& flight, double z2) {
    double potentials[kFlightSubSteps];
    SitePotential(sites, z1, z2)
        .Along(flight.start, flight.direction * (flight.length / kFlightSubSteps), kFlightSubSteps,
               potentials);
    return potentials[kFlightSubSteps - 1];
  });
}
BENCHMARK(BM_FlightLoss_PotentialsOnly);

}  // namespace
