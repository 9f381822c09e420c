#include "target/target_stack.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "core/fatal.h"
#include "core/text_value.h"
#include "target/lattice_type.h"
#include "target/layer_check.h"

namespace orvane {

namespace {

constexpr int kSilicon = 14;

const Atom& ElementAt(const AtomList& atoms, int species) {
  int index = 0;
  for (const Atom& atom : atoms) {
    if (++index == species) return atom;
  }
  AssertionFailed("species>=1 && species<=Atoms", "target_stack", __LINE__);
}

int GreatestCommonDivisor(int x, int y) {
  while (y != 0) {
    const int rest = x % y;
    x = y;
    y = rest;
  }
  return x;
}

// How often each species index appears in the basis, counting the first
// and the second species of every basis atom.
struct SpeciesCounts {
  int count[kDensityTables] = {};
  int divisor = 0;  // greatest common divisor of the counts of species 1..10
};

SpeciesCounts CountSpecies(const Layer& layer) {
  SpeciesCounts counts;
  for (const BasisAtom& atom : layer.Basis) {
    ++counts.count[atom.SpeciesA];
    ++counts.count[atom.SpeciesB];
  }
  for (int k = 1; k < kDensityTables; ++k) {
    counts.divisor = GreatestCommonDivisor(counts.divisor, counts.count[k]);
  }
  return counts;
}

void LoadIsolatedDensity(IsolatedDensities& densities, int species, const AtomList& atoms) {
  char name[16];
  std::snprintf(name, sizeof name, "N%02i.den", ElementAt(atoms, species).Z);
  std::cerr << "# Reading (" << name << ") ";
  densities[species].ReadTable(name, 1);
}

void LoadIsolatedDensities(IsolatedDensities& densities, const SpeciesCounts& counts,
                           const AtomList& atoms) {
  for (int k = 1; k < kDensityTables; ++k) {
    if (counts.count[k] > 0) LoadIsolatedDensity(densities, k, atoms);
  }
}

// "EDT_" followed by the symbol of every element of the basis and, when it
// appears more often than the rarest proportion allows, its proportion.
std::string AutomaticDensityName(const SpeciesCounts& counts, const AtomList& atoms) {
  std::string name = "EDT_";
  for (int k = 1; k < kDensityTables; ++k) {
    if (counts.count[k] == 0) continue;
    name += ElementAt(atoms, k).SymbolText();
    const int proportion = counts.count[k] / counts.divisor;
    if (proportion >= 2) name += std::to_string(proportion);
  }
  return name;
}

// The name under which the layer's density is read or saved; it is also
// stored back into the layer.
std::string DensityFileName(Layer& layer, const SpeciesCounts& counts, const AtomList& atoms) {
  const std::string given(layer.EDTFile);
  const std::string name =
      given.empty() ? AutomaticDensityName(counts, atoms) : WithoutFinalBlank(given);
  std::snprintf(layer.EDTFile, Layer::kFileNameSize, "%s", name.c_str());
  return name;
}

void ProvideDensity(Crystal& crystal, Layer& layer, const AtomList& atoms,
                    IsolatedDensities& densities, int readDensity) {
  const SpeciesCounts counts = CountSpecies(layer);
  if (layer.EDTCreate) LoadIsolatedDensities(densities, counts, atoms);
  const std::string name = DensityFileName(layer, counts, atoms);
  if (layer.EDTCreate) {
    std::cerr << "# Creating IADS in " << name << std::endl;
    crystal.CreateIADS(name, densities);
  } else if (readDensity && crystal.Density3D.ReadTable3D(name, 1) == 1) {
    LoadIsolatedDensities(densities, counts, atoms);
    std::cerr << "# Creating Isolate Atom Density Superposition in " << name << std::endl;
    crystal.CreateIADS(name, densities);
  }
}

void ShowCrystal(const Layer& layer, const Crystal& crystal) {
  ShowLayer(std::cout, layer);
  std::cout << "    Cell volume        = " << crystal.CellVolume << " A^3" << '\n'
            << "    Mean atomic radius = " << std::sqrt(crystal.MeanRadius2) << " A" << '\n'
            << "    Theorical density  = " << crystal.Density << " at/cm^3" << '\n'
            << '\n';
}

void BuildCrystal(TargetStack& stack, Layer& layer, int number, const AtomList& atoms,
                  const Axes& frame, int show) {
  // The block is built with the layer's own cell, so that the neighbourhoods
  // are centred on the basis atoms and reach InteractionRadius beyond the
  // cell.
  stack.Crystals.Add(Crystal(stack.CellRange, stack.InteractionRadius, layer.LatticeParameter,
                             stack.GhiLimit, stack.SimultaneousDistance));
  Crystal& crystal = stack.Crystals.Back();
  if (layer.XMin < stack.FrontSurface) stack.FrontSurface = layer.XMin;
  if (layer.XMax > stack.BackSurface) stack.BackSurface = layer.XMax;
  for (const BasisAtom& atom : layer.Basis) {
    crystal.MakeIt1(atom.Position, atom.Type, atom.SpeciesA, atom.SpeciesB, atom.Fraction);
  }
  const Vector& cell = layer.LatticeParameter;
  crystal.SetCell(cell.x, cell.y, cell.z, layer.Angles.x, layer.Angles.y, layer.Angles.z);
  if (layer.SampledPartners) {
    crystal.Sampler = PartnerSampler(crystal.Sites, crystal.Density * 1e-24,
                                     stack.InteractionRadius, stack.GhiLimit);
  }
  if (show) {
    char xyz[32];
    std::snprintf(xyz, sizeof xyz, "Layer_%02d.xyz", number);
    ShowCrystal(layer, crystal);
    crystal.ShowToXMol(xyz, atoms, frame);
  }
  for (const BasisAtom& atom : layer.Basis) crystal.MakeNeighbors(atom.Position);
  crystal.Reset(stack.CellRange, stack.InteractionRadius, layer.LatticeParameter, stack.GhiLimit,
                stack.SimultaneousDistance);
}

}  // namespace

int DefaultSpecies(const AtomList& atoms) {
  int index = 0;
  for (const Atom& atom : atoms) {
    ++index;
    if (atom.Z == kSilicon) return index;
  }
  return 1;
}

void AddDiamondBasis(Layer& layer, int species) {
  for (const Vector& position : {NullVector, Vector(0.25, 0.25, 0.25)}) {
    BasisAtom atom;
    atom.Position = position;
    atom.SpeciesA = atom.SpeciesB = species;
    atom.Fraction = 1.0;
    atom.Type = FACE_CENTERED;
    atom.EnergyA = atom.EnergyB = 15.0;
    layer.Basis.Add(atom);
  }
}

Layer DefaultLayer(const AtomList& atoms) {
  Layer layer;
  layer.LatticeParameter = Vector(5.431, 5.431, 5.431);
  layer.Angles = Vector(90.0, 90.0, 90.0);
  layer.Kind = CRYSTALLINE;
  layer.XMin = 0.0;
  layer.XMax = 1e9;
  layer.EDTFile[0] = '\0';
  layer.EDTCreate = 0;
  AddDiamondBasis(layer, DefaultSpecies(atoms));
  return layer;
}

void MakeLayers(TargetStack& stack, LayerList& layers, const AtomList& atoms, const Axes& frame,
                IsolatedDensities& densities, int readDensity, int show) {
  if (layers.Empty()) layers.Add(DefaultLayer(atoms));
  int number = 0;
  for (Layer& layer : layers) {
    if (layer.Basis.Empty()) AddDiamondBasis(layer, DefaultSpecies(atoms));
    CheckLayer(layer, ++number, std::min(atoms.NumberOfElements(), kDensityTables - 1));
  }
  stack.FrontSurface = 1e10;
  stack.BackSurface = -1e10;
  number = 0;
  for (Layer& layer : layers) {
    BuildCrystal(stack, layer, ++number, atoms, frame, show);
    Crystal& crystal = stack.Crystals.Back();
    ProvideDensity(crystal, layer, atoms, densities, readDensity);
    if (layer.SampledPartners) crystal.Radii = RadiusDistribution::OfGrid(crystal.Density3D);
  }
  if (show) {
    std::cout << "    Front surface at " << stack.FrontSurface << " A" << '\n'
              << "    Back surface at " << stack.BackSurface << " A" << '\n'
              << '\n';
  }
}

}  // namespace orvane
