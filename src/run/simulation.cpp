#include "run/simulation.h"

#include <ostream>

namespace orvane {

void WriteSimulation(std::ostream& os, const Simulation& s) {
  if (s.Projectiles[0] != 0) {
    os << "Implanted atoms ";
    for (int i = 0; i < Simulation::kSpecies; ++i) os << (i ? ", " : "") << s.Projectiles[i];
  } else {
    os << "Implanted atom = " << s.ImplantedElement;
  }
  os << '\n';
  os << "Energy         = " << s.ENERGY << " eV" << '\n';
  if (s.Miller == 0) {
    os << "Tha, Phi       = " << s.Tha << ", " << s.Phi;
  } else {
    os << "DIR            = " << s.DIR;
  }
  os << "\t"
     << "Divergency     = " << s.Divergence << '\n';
  os << "Implants       = " << s.NumberOfImplants << "\t\t"
     << "Dose           = " << s.Dose << "at/cm^2" << '\n';
  os << "DoseSplitting  ";
  if (s.DoseSplitting) {
    os << "On" << '\n' << "DoseDistribution = ";
    for (double piece : s.DoseDistribution) {
      if (piece != 0.0) os << piece << ",";
    }
    os << "0.0" << '\n';
  } else {
    os << "Off" << '\n';
  }
  os << "Temperature    = " << s.Temperature << "\t\t"
     << "Rare Event     = " << s.RareEvent << '\n';
  os << "RS0            = ";
  for (double rs : s.RS0) os << rs << ",";
  os << "0.0" << '\n' << '\n';
}

}  // namespace orvane
