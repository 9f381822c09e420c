// The electron density that a flight crosses, read from the periodic 3-D
// table of the current crystal's cell.
#pragma once

#include "core/vector.h"
#include "target/edt3d.h"

namespace orvane {

struct FlightDensity {
  const EDT& table;
  // Electrons per cubic angstrom at the absolute point.
  double operator()(const Vector& point) const { return table.Density(point.x, point.y, point.z); }
};

}  // namespace orvane
