// The electronic stopping of the cascade with warm tables: the non-local
// loss of one flight (30 sub-steps), the local loss of one collision
// (twelve friction look-ups) and single table look-ups.  Each benchmark also
// reports the heap allocations per iteration, which must be 0.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

#include "core/list.h"
#include "core/vector.h"
#include "physics/inel.h"
#include "physics/nonlocal_loss.h"
#include "physics/stp.h"
#include "target/edt3d.h"

// The counting operator new takes its memory from malloc.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

long allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace orvane;

constexpr double kBoron = 10.81;  // amu

// The tables live in a directory of their own for the whole program,
// removed at exit after the tables that were built from it.
class ScratchTables {
 public:
  ScratchTables() {
    char pattern[] = "/tmp/orvane-stopping-bench-XXXXXX";
    directory_ = std::string(mkdtemp(pattern)) + "/";
    setenv("TABLES3DDIR", directory_.c_str(), 1);
  }
  ~ScratchTables() { std::filesystem::remove_all(directory_); }

 private:
  std::string directory_;
};

void UseScratchTables() { static const ScratchTables tables; }

STP& WarmStopping() {
  UseScratchTables();
  static STP stp;
  static const bool warm = (stp.Stopping(1.0, 5.0, 2.0), true);
  (void)warm;
  return stp;
}

Inel& WarmFriction() {
  UseScratchTables();
  static Inel inel;
  static const bool warm = (inel.FFF(1.0, 5.0, 14.0), true);
  (void)warm;
  return inel;
}

// A density that varies within the cell along x (rs from about 1.4 to 3.5
// bohr), at the cost of a few arithmetic operations.
struct LayeredDensity {
  double operator()(const Vector& point) const {
    const double phase = point.x * 0.37;
    return 0.01 + 0.08 * (phase - std::floor(phase));
  }
};

// A silicon cell of 48^3 points with a smooth density between 0.01 and
// 0.09 electrons per A^3 (rs from about 1.4 to 2.9 bohr).
const EDT& SiliconDensity() {
  static const EDT table = [] {
    EDT t;
    const int n = 48;
    t.Initialise(5.431, 5.431, 5.431, n, n, n);
    const double k = 2.0 * M_PI / n;
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        for (int l = 0; l < n; ++l)
          t.Set(i, j, l, 0.05 + 0.04 * std::cos(k * i) * std::cos(k * j) * std::cos(k * l));
    return t;
  }();
  return table;
}

// Twelve silicon sites around the point (1, 0.2, -0.3), within 3 A of it.
List<Vector> NearbySilicon() {
  List<Vector> sites;
  for (int k = 0; k < 12; ++k) {
    const double angle = 0.5236 * k;
    sites.Add(Vector(1.0 + 0.2 * k, 0.2 + 1.8 * std::cos(angle), -0.3 + 1.8 * std::sin(angle)));
  }
  return sites;
}

void ReportAllocations(benchmark::State& state, long before) {
  state.counters["allocs/iter"] =
      benchmark::Counter(static_cast<double>(allocations - before) / state.iterations());
}

// The non-local loss of a 2.7 A free flight of a 5 keV boron ion through
// the density, the start moved a little at every iteration.
template <class Density>
void TimeFreeFlight(benchmark::State& state, const Density& density) {
  STP& stp = WarmStopping();
  const List<Vector> sites;
  Flight flight;
  flight.start = Vector(0.3, 0.2, -0.3);
  flight.direction = Normalized(Vector(0.9, 0.3, 0.1));
  flight.startEnergy = flight.endEnergy = 5000.0;
  flight.length = 2.7;
  const long before = allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(NonlocalLoss(stp, density, sites, 5.0, kBoron, flight, 0.0));
    flight.start.x += 1e-3;
  }
  ReportAllocations(state, before);
}

void BM_NonlocalLossFreeFlight(benchmark::State& state) {
  const LayeredDensity density;
  TimeFreeFlight(state, density);
}
BENCHMARK(BM_NonlocalLossFreeFlight);

// The same flight through a crystal's 3-D density table, whose trilinear
// look-up is then part of every sub-step.
void BM_NonlocalLossFreeFlightThroughDensityTable(benchmark::State& state) {
  TimeFreeFlight(state, SiliconDensity());
}
BENCHMARK(BM_NonlocalLossFreeFlightThroughDensityTable);

void BM_NonlocalLossOfACollision(benchmark::State& state) {
  STP& stp = WarmStopping();
  const List<Vector> sites = NearbySilicon();
  Flight flight;
  flight.start = Vector(1.0, 0.2, -0.3);
  flight.direction = UnitX;
  flight.startEnergy = 5000.0;
  flight.endEnergy = 4700.0;
  flight.length = 2.2;
  const LayeredDensity density;
  const long before = allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(NonlocalLoss(stp, density, sites, 5.0, kBoron, flight, 14.0));
    flight.start.y += 1e-6;
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_NonlocalLossOfACollision);

void BM_LocalLossOfACollision(benchmark::State& state) {
  Inel& inel = WarmFriction();
  Encounter e;
  e.z1 = 5.0;
  e.m1 = kBoron;
  e.projectileStart = Vector(-1.1, 0.25, 0.0);
  e.incoming = UnitX;
  e.startEnergy = 5000.0;
  e.endEnergy = 4700.0;
  e.pathLength = 1.1;
  e.z2 = 14.0;
  e.targetEnd = Vector(0.02, -0.01, 0.0);
  e.targetFurther = Vector(0.3, -0.9, 0.0);
  e.outgoing = Normalized(Vector(0.95, 0.3, 0.0));
  const long before = allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(inel.LocalLoss(e));
    e.projectileStart.y += 1e-7;
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_LocalLossOfACollision);

void BM_StoppingLookUp(benchmark::State& state) {
  STP& stp = WarmStopping();
  double v = 0.1;
  double rs = 1.3;
  const long before = allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(stp.Stopping(v, 5.0, rs));
    v = v < 5.0 ? v + 0.0137 : 0.1;
    rs = rs < 5.0 ? rs + 0.071 : 1.3;
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_StoppingLookUp);

void BM_FrictionLookUp(benchmark::State& state) {
  Inel& inel = WarmFriction();
  double p = 0.01;
  const long before = allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(inel.FFF(p, 5.0, 14.0));
    p = p < 3.0 ? p + 0.0173 : 0.01;
  }
  ReportAllocations(state, before);
}
BENCHMARK(BM_FrictionLookUp);

void BM_StoppingModelDirect(benchmark::State& state) {
  STP& stp = WarmStopping();
  double v = 0.1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(stp.Model(v, 5.0, 2.0));
    v = v < 5.0 ? v + 0.0137 : 0.1;
  }
}
BENCHMARK(BM_StoppingModelDirect);

// For comparison: one look-up of the crystal's density table, which the
// flight through it makes at every sub-step.
void BM_DensityTableLookUp(benchmark::State& state) {
  const EDT& density = SiliconDensity();
  Vector point(0.3, 0.2, -0.3);
  const Vector step = Normalized(Vector(0.9, 0.3, 0.1)) * 0.09;
  for (auto _ : state) {
    benchmark::DoNotOptimize(density.Density(point.x, point.y, point.z));
    point += step;
  }
}
BENCHMARK(BM_DensityTableLookUp);

}  // namespace
