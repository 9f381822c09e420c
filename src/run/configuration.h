// The run-wide values of the parameter file (every keyword outside the
// per-simulation and per-layer records), with their defaults.
#pragma once

#include <cstdint>

#include "core/vector.h"

namespace orvane {

struct Configuration {
  static constexpr int kTextSize = 256;
  static constexpr int kModelNameSize = 80;

  int32_t EnergySpread = 0;
  double EnergySigma = 0.0;
  double EnergyPercentage = 0.0;
  Vector POS = NullVector;
  int32_t DivType = 1;
  double InteractionRadius = 2.7155;
  double ThresholdEnergy = 10.0;
  double GhiLimit = 0.1;
  double SimultaneousDistance = 0.5;
  double SD2 = 0.25;
  int32_t Verbose = 0;
  int32_t Seed1 = 1234;
  int32_t Seed2 = 5678;
  int32_t Randomize = 1;
  Vector ABC = UnitX;
  Vector FLAT = NullVector;
  double Cut_Tha = 0.0;
  double Cut_Phi = 0.0;
  double WinA = 5.431;
  double WinB = 5.431;
  int32_t Therm = 1;
  int32_t MaxIterationsPerImplant = 100000;
  double MaxDepth = 1e10;
  int32_t LevelOfSimulation = 1;
  int32_t REThreshold = 100;
  int32_t REInterval = 100;
  int32_t REShow = 0;
  int32_t REType = 0;
  double pE = 0.0;
  double pX = 0.0;
  int32_t PearsonIV = 0;
  int32_t ShowHisto1D = 0;
  int32_t ShowDamage = 0;
  int32_t FullDoseOutput = 1;
  int32_t SavePNG = 0;  // PNG pictures of the profiles and the damage after each simulation
  double Background = 0.0;  // background doping of the substrate, atoms/cm^3; 0 for none
  // Text values end with the blank that the reader appends to every word.
  char HSTFile[kTextSize] = "Histo1D. ";
  char GPInit[kTextSize] = "";
  char GPPlot[kTextSize] = "t \"This work\" ";
  char GPInitDamage[kTextSize] = "";
  char GPPlotDamage[kTextSize] = "t \"This work\" ";
  char Stopping[kModelNameSize] = "Our ";
  char Ionization[kModelNameSize] = "ZBL ";
  int32_t PAUSE = 0;
  double RecombinationFactor = 0.06;
  double KinchinPeaseConstant = 0.8;
  double AmorphizationDensity = 4.99e21;  // defects per cm^3
  double CutOffEnergy = 0.15;
  double DisplacementEnergy = 15.0;
  char PreviousDamageFile[kTextSize] = "";
  double ImplantationArea = 100.0;  // square angstrom
  int32_t ASCII = 0;
  double DoseRate = 1e11;

  // Values that no keyword sets.
  double CellRange = 0.5;
  int32_t MaxFlights = 50;
};

}  // namespace orvane
