// The state of one run: configuration, the simulation in hand, counters,
// the random stream, the implant frame, the target and its elements.  One
// instance lives for the whole run (and one more per thread when the ions
// run in parallel); every operation of the run receives it by reference, so
// a test can build its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/appending_file.h"
#include "core/atom.h"
#include "core/axes.h"
#include "core/libc_random.h"
#include "core/list.h"
#include "core/particle.h"
#include "core/ranmar.h"
#include "core/thermal.h"
#include "core/vector.h"
#include "damage/damage_profile.h"
#include "engine/pair_geometry.h"
#include "engine/target.h"
#include "physics/averaged_stopping.h"
#include "physics/inel.h"
#include "physics/pair_potentials.h"
#include "physics/stp.h"
#include "run/background_writer.h"
#include "run/configuration.h"
#include "run/output_directory.h"
#include "run/plot_windows.h"
#include "run/simulation.h"
#include "run/summary_json.h"
#include "tally/finished_particles.h"
#include "tally/species_tallies.h"
#include "target/crystal.h"
#include "target/edt1d.h"
#include "target/layer.h"
#include "target/target_stack.h"

namespace orvane {

struct RunState {
  Configuration Config;

  // The process-wide lists and tables.
  AtomList Atoms;
  LayerList Layers;
  SimulationList Simulations;
  List<Vector> NearbySites;  // sites near the last partner search, absolute positions
  PairPotentials Potentials;
  std::string OutputDirectory;
  OutputDirectoryLock DirectoryLock;  // held for the whole run

  // What the reader found suspicious in the parameter file (said again in
  // every summary), and whether such a finding refuses the file.
  std::vector<std::string> InputWarnings;
  bool StrictInput = false;
  // No line per ion (nor their column header) on standard output.
  bool QuietIons = false;

  // Records into which the parameter file is read.
  Simulation SimulationTemplate;
  Layer LayerTemplate;

  // The simulation in hand.
  Simulation Current;
  uint32_t NextIon = 1;
  double Temperature = 300.0;
  double IonWeight = 1.0;  // real ions per simulated ion
  std::chrono::steady_clock::time_point SimulationStart;  // wall clock at its header

  // Counters and statistics of the simulation in hand.
  uint32_t CollisionTotal = 0;
  long double DistanceTotal = 0.0L;
  double PathSum = 0.0;
  double Sigma0 = 0.0;
  uint32_t RotationCount = 0;
  uint32_t PartnerCount = 0;
  double ClosestImpact2 = 1e10;  // closest squared impact parameter of the last search

  Ranmar Rng;  // seeded 1802, 9373 until the set-up seeds it from the file
  // The atoms on the lattice sites: drawn from Rng and the process-wide
  // sign sequence ThermalSigns(), or, when the ions run in parallel, from
  // the words of the ion's own key (then not null).
  SiteDraws* KeyedDraws = nullptr;
  Axes Frame;
  ThermalTable Thermal;

  // The target: one crystal per layer, and the layer and crystal in which
  // the particle in hand moves (elements of Layers and Stack.Crystals).
  TargetStack Stack;
  Layer* CurrentLayer = nullptr;
  int CurrentLayerSlot = 0;  // 0-based position of the current layer, at most 4
  Crystal* CurrentCrystal = nullptr;
  IsolatedDensities AtomicDensities;  // isolated-atom densities by species index
  DamageProfile Damage;

  // The particles of the ion in hand: those still moving, processed from
  // the front, those finished, and a copy of the one being processed.
  List<Particle> Moving;
  List<Particle> Finished;
  FinishedIon LastIon;  // what the tally takes of the finished particles of the last ion
  Particle Work;
  Vector Cell{5.431, 5.431, 5.431};  // edges of the current crystal's cell
  Vector HalfCell{2.7155, 2.7155, 2.7155};
  double WinA = 5.431;  // implantation window of the simulation, angstrom
  double WinB = 5.431;
  int RotationFlag = 0;  // the lattice around the particle was drawn afresh
  // Rare-event copies made of the ion in hand, and whether the bound on
  // them has been reported (once per run).
  uint32_t SplitCopies = 0;
  bool SplitBoundReported = false;
  bool SplitBoundHit = false;  // the ion in hand wanted a copy beyond the bound

  // Interaction physics and the cascade engine.
  PairGeometry Geometry;  // the binary collision in hand, with the collision tables
  Inel LocalStopping;
  STP NonLocalStopping;  // with the chosen models and the RS0 of the current layer
  AveragedStoppingCache AveragedStopping;  // of the layers whose partners are drawn
  Target Engine{
      TargetLinks{Atoms, Frame, Potentials, LocalStopping, NonLocalStopping, NearbySites, Damage}};

  SpeciesTallies Tallies;
  // The files that grow by a line per ion, open while a simulation runs.
  AppendingFile AmorphizationVsDose;  // "MaxAmorf_vs_Dose.dat"
  AppendingFile RetainedDamage;       // "DDBC_1D.dat"
  // The periodic profile files, written while the ions go on.
  BackgroundWriter Writer;
  PlotWindows Windows;
  RunRecord Record;  // what "summary.json" says of the run

  // Wall time since the header of the simulation in hand, in seconds.
  double SimulationSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - SimulationStart)
        .count();
  }

  RunState() = default;
  RunState(const RunState&) = delete;
  RunState& operator=(const RunState&) = delete;
  ~RunState() { ClosePlotWindows(Windows); }
};

}  // namespace orvane
