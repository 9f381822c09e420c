// The state of one run: configuration, the simulation in hand, counters,
// the random stream, the implant frame, the target and its elements.  One
// instance lives for the whole process; every operation of the run receives
// it by reference, so a test can build its own.
#pragma once

#include <cstdint>
#include <string>

#include "core/atom.h"
#include "core/axes.h"
#include "core/list.h"
#include "core/ranmar.h"
#include "core/thermal.h"
#include "core/vector.h"
#include "damage/damage_profile.h"
#include "physics/pair_potentials.h"
#include "run/configuration.h"
#include "run/simulation.h"
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

  // Records into which the parameter file is read.
  Simulation SimulationTemplate;
  Layer LayerTemplate;

  // The simulation in hand.
  Simulation Current;
  uint32_t NextIon = 1;
  double Temperature = 300.0;
  double IonWeight = 1.0;   // real ions per simulated ion
  double CurrentRS0 = 1.8;  // stopping parameter of the current layer
  int StoppingModel = 2;
  int IonizationModel = 1;

  // Counters and statistics of the simulation in hand.
  uint32_t CollisionTotal = 0;
  long double DistanceTotal = 0.0L;
  double PathSum = 0.0;
  double Sigma0 = 0.0;
  uint32_t RotationCount = 0;
  uint32_t PartnerCount = 0;
  double ClosestImpact2 = 1e10;  // closest squared impact parameter of the last search

  Ranmar Rng;  // seeded 1802, 9373 until the set-up seeds it from the file
  Axes Frame;
  ThermalTable Thermal;

  // The target: one crystal per layer, and the layer and crystal in which
  // the particle in hand moves (elements of Layers and Stack.Crystals).
  TargetStack Stack;
  Layer* CurrentLayer = nullptr;
  Crystal* CurrentCrystal = nullptr;
  IsolatedDensities AtomicDensities;  // isolated-atom densities by species index
  DamageProfile Damage;
};

}  // namespace orvane
