#include "target/layer.h"

#include <istream>
#include <ostream>

#include "target/lattice_type.h"

namespace orvane {

namespace {
const char* KindName(int kind) {
  switch (kind) {
    case CRYSTALLINE: return "CRISTALLINE layer";
    case POLYCRYSTALLINE: return "POLYCRISTALLINE layer";
    case AMORPHOUS: return "AMORPHOUS layer";
    default: return "UNKNOWN layer";
  }
}
}  // namespace

void ShowLayer(std::ostream& os, const Layer& layer) {
  os << "\n==> " << KindName(layer.Kind) << " ( " << layer.XMin << " to " << layer.XMax << " ) A\n";
  os << "    LatticeParameter " << layer.LatticeParameter << " A\n";
  os << "    Angles           " << layer.Angles << '\n';
  os << "    EDTFile          ' " << layer.EDTFile << "'"
     << (layer.EDTCreate ? " (new)\n" : " (old)\n");
  if (layer.SampledPartners) os << "    SampledPartners  On\n";
  os << '\n';
  for (const BasisAtom& atom : layer.Basis) ShowBasisAtom(os, atom);
  os << '\n';
}

void ShowBasisAtom(std::ostream& os, const BasisAtom& atom) {
  if (atom.Fraction == 1.0) {
    os << "    Atom " << atom.SpeciesA << " : " << LatticeTypeName(atom.Type) << atom.Position
       << " " << atom.EnergyA << " eV\n";
  } else {
    os << "    Atom " << atom.SpeciesA << " (" << 100.0 * atom.Fraction << "%)/" << atom.SpeciesB
       << " (" << 100.0 * (1.0 - atom.Fraction) << "%) : " << LatticeTypeName(atom.Type)
       << atom.Position << " " << atom.EnergyA << "/" << atom.EnergyB << " eV\n";
  }
}

std::istream& ReadBasisAtom(std::istream& is, BasisAtom& atom) {
  return is >> atom.SpeciesA >> atom.SpeciesB >> atom.Fraction >> atom.Type >> atom.Position >>
         atom.EnergyA >> atom.EnergyB;
}

}  // namespace orvane
