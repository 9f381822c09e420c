// The one-dimensional profile of the defects that the cascades leave, which
// grows with the dose and saturates at the amorphization density.
#pragma once

#include "damage/varhst.h"

namespace orvane {

struct DamageProfile {
  VarHist Damage;                      // defects per cubic angstrom
  double ImplantationArea = 100.0;     // square angstrom
  double CutOffEnergy = 0.15;
  double DisplacementEnergy = 15.0;    // eV
  double SurvivingFraction = 0.06;
  double KinchinPeaseConstant = 0.8;
  double AmorphizationDensity = 0.0049968;  // defects per cubic angstrom
  int Mode = 1;
  int Count = 0;
  double DoseRate = 1e11;
  double CteA = 0.0;
  double CteB = 1.0;
  double CteC = 0.7;
  double CteD = 1e-30;
  double CteK = 0.0;
  double AnchoCajas = 0.0;  // requested cell width, angstrom; 0 keeps the cells
  double Displacements = 0.0;
  double Retained = 0.0;

  // The largest cell over the amorphization density, in percent (0 for a
  // profile without positive cells).
  double PeakAmorphization() const;
  // The sum of the cells times the cell width: defects per square angstrom.
  double ArealDensity() const;
};

}  // namespace orvane
