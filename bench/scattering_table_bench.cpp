// Generation of one pair's scattering table (72 energies x 30 impact
// parameters, one integrated collision each) by the table computer, with
// one thread and with both cores, with the refined step and with the fixed
// step of 0.001 A of initial flight; the whole generation through the table
// store (integration, text file, load); and one look-up of a loaded table.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "core/atom.h"
#include "physics/collision.h"
#include "physics/indexes.h"
#include "physics/pair_potentials.h"
#include "physics/table3d.h"
#include "physics/tc.h"

namespace {

using namespace orvane;

// The progress text of the table computer, kept off the terminal.
class QuietProgress {
 public:
  QuietProgress() : saved_(std::cerr.rdbuf(sink_.rdbuf())) {}
  ~QuietProgress() { std::cerr.rdbuf(saved_); }

 private:
  std::ostringstream sink_;
  std::streambuf* saved_;
};

// The tables live in a directory of their own for the whole program.
const std::string& TableDirectory() {
  static const std::string directory = [] {
    char pattern[] = "/tmp/orvane-scattering-bench-XXXXXX";
    const std::string made = std::string(mkdtemp(pattern)) + "/";
    setenv("TABLES3DDIR", made.c_str(), 1);
    std::atexit([] { std::filesystem::remove_all(TableDirectory()); });
    return made;
  }();
  return directory;
}

AtomList BoronSilicon() {
  AtomList atoms;
  atoms.Add(Atom("B", 10.811, 5, 1480.0));
  atoms.Add(Atom("Si", 28.086, 14, 519.0));
  return atoms;
}

// Arguments: threads, refined step (1) or fixed step (0), projectile Z.
void BM_PairTable(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  const StepControl control = state.range(1) ? StepControl::kRefined : StepControl::kFixed;
  const bool arsenic = state.range(2) == 33;
  const PairPotentials potentials;
  QuietProgress quiet;
  for (auto _ : state) {
    TC computer(threads, control);
    computer.Init(arsenic ? 33 : 5, 14, arsenic ? 74.9216 : 10.811, 28.086, N_ENERGY, potentials);
    computer.ComputeIndexes(N_ENERGY);
    benchmark::DoNotOptimize(computer.Table());
  }
}
BENCHMARK(BM_PairTable)
    ->ArgNames({"threads", "refined", "Z1"})
    ->Args({2, 1, 5})
    ->Args({1, 1, 5})
    ->Args({2, 0, 5})
    ->Args({1, 0, 5})
    ->Args({2, 1, 33})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// A missing table generated on first use: integration, text file and load.
void BM_GenerateThroughStore(benchmark::State& state) {
  const std::string& directory = TableDirectory();
  const AtomList atoms = BoronSilicon();
  const PairPotentials potentials;
  std::ostringstream printed;
  std::streambuf* out = std::cout.rdbuf(printed.rdbuf());
  QuietProgress quiet;
  for (auto _ : state) {
    TBL store;
    store.Generate(1, 2, atoms, potentials);
    benchmark::DoNotOptimize(store.Table(0, 1));
    state.PauseTiming();
    std::filesystem::remove(directory + "Zel0514.dat");
    state.ResumeTiming();
  }
  std::cout.rdbuf(out);
}
BENCHMARK(BM_GenerateThroughStore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One look-up of the loaded B-Si table at energies and impact parameters
// spread over the grid.
void BM_Lookup(benchmark::State& state) {
  TableDirectory();
  const AtomList atoms = BoronSilicon();
  const PairPotentials potentials;
  static TBL store;
  static const bool loaded = [&] {
    std::ostringstream printed;
    std::streambuf* out = std::cout.rdbuf(printed.rdbuf());
    QuietProgress quiet;
    CollisionOutcome warm;
    store.Lookup(1, 2, 1000.0, 1.0, atoms, potentials, warm);
    std::cout.rdbuf(out);
    return true;
  }();
  benchmark::DoNotOptimize(loaded);
  CollisionOutcome out;
  double energy = 10.0;
  double impact = 0.0005;
  for (auto _ : state) {
    store.Lookup(1, 2, energy, impact, atoms, potentials, out);
    benchmark::DoNotOptimize(out);
    energy = energy < 4e6 ? energy * 1.37 : 10.0;
    impact = impact < 4.0 ? impact * 1.61 + 0.001 : 0.0005;
  }
}
BENCHMARK(BM_Lookup);

}  // namespace
