#include "run/dose_splitting.h"

#include "core/fatal.h"

namespace orvane {

void SplitDose(const Simulation& simulation, SimulationList& pieces) {
  Simulation piece = simulation;
  double remaining = simulation.Dose;
  double step = 1e14;  // the first automatic piece, atoms/cm^2
  for (int i = 0; remaining > 0.0 && i < Simulation::kPieces; ++i) {
    double& dose = piece.DoseDistribution[i];
    if (dose == 0.0) {
      dose = step;
      remaining -= step;
      step *= 10.0;
      if (step > remaining) step = remaining;
    } else {
      remaining -= dose;
      step = remaining;
    }
    if (remaining < 0.0) Fatal(501, "# Error: Dose distribution greater than specified Dose\n");
    Simulation copy = piece;
    copy.Dose = dose;
    copy.DoseSplitting = remaining == 0.0 ? 0 : 1;
    pieces.Add(copy);
  }
}

}  // namespace orvane
