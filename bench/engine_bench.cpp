// The cascade engine with warm tables in a silicon crystal: one collision
// step of a 10 keV boron ion with the partners that the crystal offered it,
// and one free flight of the same ion.  Each benchmark also reports the
// heap allocations per iteration, which must be 0.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <string>

#include "core/atom.h"
#include "core/axes.h"
#include "core/list.h"
#include "core/particle.h"
#include "core/ranmar.h"
#include "core/thermal.h"
#include "damage/damage_profile.h"
#include "engine/pair_geometry.h"
#include "engine/target.h"
#include "physics/inel.h"
#include "physics/pair_potentials.h"
#include "physics/stp.h"
#include "target/edt1d.h"
#include "target/layer.h"
#include "target/target_stack.h"

namespace {

long allocations = 0;

// Kept out of line, so that the compiler does not pair a visible new with
// this free.
[[gnu::noinline]] void Release(void* p) noexcept { std::free(p); }

}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }

namespace {

using namespace orvane;

constexpr int kBoron = 1;

// The tables, densities and damage saves live in a directory of their own
// for the whole program, which starts with the shipped isolated-atom
// densities.
const std::string& UseOwnTableDirectory() {
  static const std::string directory = [] {
    char pattern[] = "/tmp/orvane-engine-bench-XXXXXX";
    const std::string made = std::string(mkdtemp(pattern)) + "/";
    for (const char* density : {"N05.den", "N14.den"}) {
      std::filesystem::copy_file(std::string(ORVANE_SOURCE_DIR) + "/Tables/" + density,
                                 made + density);
    }
    setenv("TABLES3DDIR", made.c_str(), 1);
    setenv("EDTDIR", made.c_str(), 1);
    return made;
  }();
  static const bool removed = (std::atexit([] { std::filesystem::remove_all(directory); }), true);
  (void)removed;
  return directory;
}

// The run's state around the engine: boron and silicon, the default
// silicon target, warm stopping and collision tables.
struct Cascade {
  AtomList Atoms;
  Axes Frame;
  PairPotentials Potentials;
  Inel LocalStopping;
  STP NonLocalStopping;
  List<Vector> NearbySites;
  DamageProfile Damage;
  Target Engine{
      TargetLinks{Atoms, Frame, Potentials, LocalStopping, NonLocalStopping, NearbySites, Damage}};
  PairGeometry Geometry;
  TargetStack Stack;
  LayerList Layers;
  IsolatedDensities Densities;
  ThermalTable Thermal;
  Ranmar Rng;
  List<Particle> Moving;
  List<Particle> Finished;
  Particle Ion;            // 10 keV boron inside the crystal
  List<Particle> Offered;  // the candidates that the crystal offered it

  Cascade() {
    Damage.OutputDirectory = UseOwnTableDirectory();
    Atoms.Add(Atom("B", 10.811, 5, 1250.0));
    Atoms.Add(Atom("Si", 28.086, 14, 519.0));
    MakeLayers(Stack, Layers, Atoms, Frame, Densities, 1, 0);
    ComputeAmplitudes(Thermal, Atoms, 300.0);
    Engine.Configure(Lattice().LatticeParameter, Stack.InteractionRadius, Stack.GhiLimit, 10.0,
                     0.25, 300.0);
    Damage.Mode = 2;
    FindIonWithPartners();
  }
  Crystal& Lattice() { return Stack.Crystals.Front(); }
  Layer& Silicon() { return Layers.Front(); }

  // Draws start points until the crystal offers the ion a partner.
  void FindIonWithPartners() {
    for (;;) {
      Ion = Particle();
      Ion.Species = Ion.SpeciesA = kBoron;
      Ion.Energy = 10000.0;
      Ion.Status = PROJECTILE;
      Ion.SetDirection(Vector(1.0, 0.3, 0.2));
      Ion.R = Vector(Rng.Uniform(), Rng.Uniform(), Rng.Uniform()) * 2.0;
      Ion.Abs = Ion.R + Vector(100.0, 0.0, 0.0);
      Ion.Ghi = Engine.GhiLimit;
      Ion.ImpactParameter = 0.5;
      double closest = 0.0;
      Offered.Clear();
      if (Lattice().FindPartners(Ion, Offered, closest, Rng, ThermalSigns(), Stack.FrontSurface, Stack.BackSurface,
                                 Thermal, Frame, NearbySites) > 0) {
        return;
      }
    }
  }

  // The ion first in moving again, with the offered candidates; the damage
  // profile's save of every 10000th deposit, a file write, is kept out.
  void Restart() {
    Damage.Count = 1;
    Moving.Clear();
    Finished.Clear();
    Moving.Add(Ion);
    Engine.Candidates = Offered;
    Engine.Struck.Clear();
  }
};

Cascade& WarmCascade() {
  static const std::unique_ptr<Cascade> cascade = [] {
    std::cerr.setstate(std::ios::failbit);  // the progress of the table generation
    auto made = std::make_unique<Cascade>();
    made->Restart();
    made->Engine.CollisionStep(made->Finished, made->Moving, made->Geometry,
                               made->Lattice().Density3D, made->Silicon());
    std::cerr.clear();
    return made;
  }();
  return *cascade;
}

void BM_CollisionStep(benchmark::State& state) {
  Cascade& c = WarmCascade();
  long partners = 0;
  c.Restart();
  const long before = allocations;
  for (auto _ : state) {
    c.Restart();
    partners += c.Engine.CollisionStep(c.Finished, c.Moving, c.Geometry, c.Lattice().Density3D,
                                       c.Silicon());
  }
  state.counters["allocs/iter"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                     benchmark::Counter::kAvgIterations);
  state.counters["partners"] =
      benchmark::Counter(static_cast<double>(partners), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CollisionStep);

void BM_FreeFlight(benchmark::State& state) {
  Cascade& c = WarmCascade();
  c.Restart();
  const long before = allocations;
  for (auto _ : state) {
    c.Restart();
    c.Engine.IncrementPosition(c.Finished, c.Moving, c.Stack.FrontSurface, c.Stack.BackSurface,
                               c.Lattice().Density3D);
  }
  state.counters["allocs/iter"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                     benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FreeFlight);

// What Restart costs, to be taken off the two figures above.
void BM_Restart(benchmark::State& state) {
  Cascade& c = WarmCascade();
  c.Restart();
  const long before = allocations;
  for (auto _ : state) c.Restart();
  state.counters["allocs/iter"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                     benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Restart);

}  // namespace
