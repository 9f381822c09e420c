// One simulation of the parameter file: the per-simulation values that
// "NextSimulation" closes.
#pragma once

#include <cstdint>
#include <iosfwd>

#include "core/list.h"
#include "core/vector.h"

namespace orvane {

struct Simulation {
  static constexpr int kSpecies = 10;
  static constexpr int kLayers = 5;
  static constexpr int kPieces = 10;

  int32_t ImplantedElement = 1;
  int32_t Projectiles[kSpecies] = {};
  int32_t Miller = 0;
  int32_t RareEvent = 0;
  double ENERGY = 200.0;
  double Tha = 0.0;
  double Phi = 0.0;
  double Divergence = 0.0;
  double Dose = 1e13;
  double Temperature = 300.0;
  double RS0[kLayers] = {1.85, 1.85, 1.85, 1.85, 1.85};
  Vector DIR = UnitX;
  int32_t NumberOfImplants = 10;
  double DoseDistribution[kPieces] = {};
  int32_t DoseSplitting = 0;
};

using SimulationList = List<Simulation>;

// The block that "Parameters.out" shows for one simulation.
void WriteSimulation(std::ostream& os, const Simulation& simulation);

}  // namespace orvane
