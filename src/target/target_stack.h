// The target as a stack of layers along the depth axis: one crystal per
// layer of the layer list, with its electron density, and the front and
// back surfaces of the whole stack.
#pragma once

#include "core/atom.h"
#include "core/axes.h"
#include "core/list.h"
#include "target/crystal.h"
#include "target/edt1d.h"
#include "target/layer.h"

namespace orvane {

struct TargetStack {
  double CellRange = 1.5;             // half extent of each crystal's block, in cells
  double InteractionRadius = 2.7155;  // angstrom
  double GhiLimit = 0.1 + kTolerance;
  double SimultaneousDistance = 0.5;
  double BackSurface = -1e10;  // largest XMax of the layers
  double FrontSurface = 1e10;  // smallest XMin of the layers
  List<Crystal> Crystals;      // one per layer, in layer order
};

// The species index of the default target: the first element with Z = 14
// (silicon) when the element list holds one, else element 1.
int DefaultSpecies(const AtomList& atoms);
// Adds the diamond basis to a layer: two face-centred atoms of the species
// at (0, 0, 0) and (1/4, 1/4, 1/4), 15 eV each.
void AddDiamondBasis(Layer& layer, int species);
// The layer of a target without layer keywords: crystalline, 0 to 1e9 A,
// cubic cell of 5.431 A, automatic density name, diamond basis of the
// default species.
Layer DefaultLayer(const AtomList& atoms);

// Builds the crystals of the layers (the default layer when there is none;
// a layer without basis atoms gets the diamond basis of the default
// species) with the limits of the stack.  Every layer is checked first
// (status 408 for a cell or basis that cannot be built).  A layer without a
// density file name gets the automatic name "EDT_" and the symbols of its
// elements, with their proportions; a given name loses the blank that the
// reader ends it with.  The density is created anew when the layer asks
// for it, read otherwise when readDensity is set, and created when no file
// is found.  With show set, every layer is printed, its sites are written
// to "Layer_%02d.xyz" in the working directory and the surfaces are printed.
void MakeLayers(TargetStack& stack, LayerList& layers, const AtomList& atoms, const Axes& frame,
                IsolatedDensities& densities, int readDensity, int show);

}  // namespace orvane
