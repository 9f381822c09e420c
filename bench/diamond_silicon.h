// Diamond silicon as the layer builder makes it, and its electron density
// superposed from the shipped isolated-atom density, for the benchmarks.
#pragma once

#include <cstdlib>
#include <memory>

#include "target/crystal.h"
#include "target/density_superposition.h"
#include "target/lattice_type.h"

namespace orvane_bench {

inline orvane::Crystal DiamondSilicon() {
  using namespace orvane;
  const Vector cell(5.431, 5.431, 5.431);
  const Vector basis[] = {NullVector, Vector(0.25, 0.25, 0.25)};
  Crystal crystal(1.5, 2.7155, cell, 0.1 + 1.0862e-05, 0.5);
  for (const Vector& p : basis) crystal.MakeIt1(p, FACE_CENTERED, 1, 1, 1.0);
  crystal.SetCell(cell.x, cell.y, cell.z, 90, 90, 90);
  for (const Vector& p : basis) crystal.MakeNeighbors(p);
  crystal.Reset(1.5, 2.7155, cell, 0.1 + 1.0862e-05, 0.5);
  return crystal;
}

inline std::unique_ptr<orvane::IsolatedDensities> SiliconAtomDensity() {
  auto densities = std::make_unique<orvane::IsolatedDensities>();
  setenv("EDTDIR", ORVANE_SOURCE_DIR "/Tables/", 1);
  (*densities)[1].ReadTable("N14.den", 1);
  return densities;
}

}  // namespace orvane_bench
