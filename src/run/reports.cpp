#include "run/reports.h"

#include <cmath>
#include <iostream>

#include "core/thermal.h"

namespace orvane {

namespace {
constexpr double kPi = 3.141592653589793;
}

Vector BeamDirection(const Axes& frame, double tha, double phi) {
  const double t = tha * kPi / 180.0;
  const double p = phi * kPi / 180.0;
  return std::cos(t) * frame.X + std::sin(t) * std::sin(p) * frame.Y +
         std::sin(t) * std::cos(p) * frame.Z;
}

double EffectiveWeight(double dose, double area, int ions) {
  if (ions <= 0) return 0.0;
  return dose * area / (ions * 1e16);
}

void SimulationHeader(RunState& state, const Simulation& simulation, int /*k*/) {
  const Configuration& c = state.Config;
  Simulation& s = state.Current;
  s = simulation;
  state.CurrentRS0 = s.RS0[0];
  state.Temperature = s.Temperature;
  if (s.Miller == 0) s.DIR = BeamDirection(state.Frame, s.Tha, s.Phi);
  ComputeAmplitudes(state.Thermal, state.Atoms, c.Therm ? s.Temperature : -1.0);
  if (s.Projectiles[0] == 0) s.Projectiles[0] = s.ImplantedElement;

  state.CollisionTotal = 0;
  state.DistanceTotal = 0.0L;
  state.RotationCount = 0;
  state.PartnerCount = 0;
  state.NextIon = 1;
  state.IonWeight = EffectiveWeight(s.Dose, c.ImplantationArea, s.NumberOfImplants);

  if (c.Verbose) {
    std::cout << "\tDose             = " << s.Dose << '\n'
              << "\tN                = " << s.NumberOfImplants << '\n'
              << "\tImplantationArea = " << c.ImplantationArea << '\n'
              << "\tWEffective       = " << state.IonWeight << '\n'
              << "\tNEffective       = " << s.NumberOfImplants * state.IonWeight << '\n';
  }
  std::cout << '\n'
            << "    Ion      Depth (nm)    Stat weigth      Path (nm)    Cascade time (sec.)\n"
            << " -----------------------------------------------------------------------------\n";
  std::cout.setf(std::ios::fixed, std::ios::floatfield);
  std::cout.precision(4);
}

void Statistics(RunState& /*state*/, int /*k*/) {}

}  // namespace orvane
