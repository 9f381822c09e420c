// The description of one layer of the target as the parameter file gives it:
// kind, depth interval, cell geometry, basis atoms and density file.
#pragma once

#include <iosfwd>

#include "core/list.h"
#include "core/vector.h"

namespace orvane {

struct BasisAtom {
  Vector Position = NullVector;  // fractions of the cell
  int SpeciesA = 0;
  int SpeciesB = 0;
  double Fraction = 1.0;  // probability of SpeciesA
  int Type = 1;           // lattice type 1..6
  double EnergyA = 0.0;   // displacement energy of SpeciesA on this site, eV
  double EnergyB = 0.0;
};

enum LayerKind : int { CRYSTALLINE = 0, POLYCRYSTALLINE = 1, AMORPHOUS = 2 };

struct Layer {
  static constexpr int kFileNameSize = 256;

  Vector LatticeParameter{5.431, 5.431, 5.431};
  Vector Angles{90.0, 90.0, 90.0};
  int Kind = CRYSTALLINE;
  double XMin = 0.0;
  double XMax = 1e9;
  char EDTFile[kFileNameSize] = {};
  int EDTCreate = 0;
  // Non-zero: in amorphous matter of this layer (an amorphous layer, or
  // material that the damage has amorphized) the next collision partner is
  // drawn from the atomic density instead of searched in a rotated lattice.
  int SampledPartners = 0;
  List<BasisAtom> Basis;
};

using LayerList = List<Layer>;

// Layer printout: kind and depths, cell, density file and basis atoms.
void ShowLayer(std::ostream& os, const Layer& layer);
// One basis atom line, with the lattice type by its display name.
void ShowBasisAtom(std::ostream& os, const BasisAtom& atom);
// Reads SpeciesA SpeciesB Fraction Type x y z EnergyA EnergyB.
std::istream& ReadBasisAtom(std::istream& is, BasisAtom& atom);

}  // namespace orvane
