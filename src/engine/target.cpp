#include "engine/target.h"

#include "core/fatal.h"
#include "engine/particle_motion.h"

namespace orvane {

namespace {

constexpr Vector kSiliconCell{5.431, 5.431, 5.431};

}  // namespace

void Target::Configure(const Vector& latticeParameter, double interactionRadius, double ghiLimit,
                       double thresholdEnergy, double sd2, double temperature) {
  const Vector cell = latticeParameter == NullVector ? kSiliconCell : latticeParameter;
  SetCell(cell, cell * 0.5);
  InteractionRadius = interactionRadius;
  GhiLimit = ghiLimit + kTolerance;
  ThresholdEnergy = thresholdEnergy;
  SD2 = sd2;
  Temperature = temperature;
}

void Target::SetCell(const Vector& cell, const Vector& halfCell) {
  Cell = cell;
  HalfCell = halfCell;
}

void Target::FoldIntoLattice(Vector& r) const {
  const Axes* turned = Lattice == nullptr ? nullptr : Lattice->Orientation();
  if (turned == nullptr) {
    FoldIntoCell(r, Cell, HalfCell);
    return;
  }
  Vector own = turned->Untransform(r);
  FoldIntoCell(own, Cell, HalfCell);
  r = turned->Transform(own);
}

const Atom& Target::Element(int species) const {
  int position = 1;
  for (const Atom& atom : links_.Atoms) {
    if (position++ == species) return atom;
  }
  AssertionFailed("n>=1 && n<=count", "list", 200);
}

}  // namespace orvane
