// The three-row frame that expresses crystal coordinates in the implant
// (wafer) frame; the depth of a point is its component along X.
#pragma once

#include <iosfwd>

#include "core/vector.h"

namespace orvane {

struct Axes {
  Vector X = UnitX;
  Vector Y{0.0, 1.0, 0.0};
  Vector Z{0.0, 0.0, 1.0};

  double ComponentX(const Vector& v) const { return Dot(X, v); }
  double ComponentY(const Vector& v) const { return Dot(Y, v); }
  double ComponentZ(const Vector& v) const { return Dot(Z, v); }
  Vector Transform(const Vector& v) const { return Vector(Dot(X, v), Dot(Y, v), Dot(Z, v)); }
  // The inverse of Transform for orthonormal rows.
  Vector Untransform(const Vector& v) const { return v.x * X + v.y * Y + v.z * Z; }

  // Builds the implant frame from the first direction a, the second
  // direction b (not orthogonalised), the tilt tha and the azimuth phi in
  // degrees; with verbose set the rows are printed to out.
  static Axes Build(Vector a, Vector b, double tha, double phi, bool verbose, std::ostream& out);
};

}  // namespace orvane
