// The 3-D electron density of diamond silicon created by superposing
// isolated-atom densities (112^3 points, saved as a binary table), and the
// collision-partner search in the same crystal.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "core/thermal.h"
#include "diamond_silicon.h"
#include "target/crystal.h"
#include "target/density_superposition.h"

namespace {

using namespace orvane;

using orvane_bench::DiamondSilicon;
using orvane_bench::SiliconAtomDensity;

// The whole creation, progress and binary file included (written to a
// temporary density directory).
void BM_CreateIADS_DiamondSilicon(benchmark::State& state) {
  Crystal crystal = DiamondSilicon();
  const auto densities = SiliconAtomDensity();
  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() / "orvane-bench-iads";
  std::filesystem::create_directories(directory);
  setenv("EDTDIR", (directory.string() + "/").c_str(), 1);
  std::cerr.setstate(std::ios::failbit);  // silence the progress count
  for (auto _ : state) crystal.CreateIADS("EDT_Si", *densities);
  std::cerr.clear();
  std::filesystem::remove_all(directory);
}
BENCHMARK(BM_CreateIADS_DiamondSilicon)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// The superposition alone.
void BM_SuperposeDensities_DiamondSilicon(benchmark::State& state) {
  const Crystal crystal = DiamondSilicon();
  const auto densities = SiliconAtomDensity();
  EDT grid;
  grid.Initialise(5.431, 5.431, 5.431, 112, 112, 112);
  for (auto _ : state) SuperposeDensities(crystal.Sites, *densities, grid, nullptr);
  state.counters["sites"] = crystal.Sites.NumberOfElements();
}
BENCHMARK(BM_SuperposeDensities_DiamondSilicon)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// One partner search of a particle crossing the silicon cell at 300 K.
void BM_FindPartners_DiamondSilicon(benchmark::State& state) {
  Crystal crystal = DiamondSilicon();
  AtomList atoms;
  atoms.Add(Atom("Si", 28.086, 14, 519.0));
  ThermalTable thermal;
  ComputeAmplitudes(thermal, atoms, 300.0);
  Ranmar rng;
  List<Particle> candidates;
  List<Vector> nearby;
  const Axes frame;
  Particle particle;
  particle.R = Vector(0.4, 0.2, -0.3);
  particle.Abs = Vector(100.0, 0.0, 0.0);
  particle.Dir = Normalized(Vector(1.0, 0.3, 0.2));
  double closest = 0.0;
  for (auto _ : state) {
    particle.Ghi = 0.1 + 1.0862e-05;
    benchmark::DoNotOptimize(
        crystal.FindPartners(particle, candidates, closest, rng, ThermalSigns(), 0.0, 1e9, thermal, frame, nearby));
    candidates.Clear();
  }
}
BENCHMARK(BM_FindPartners_DiamondSilicon);

}  // namespace
