#include "core/axes.h"

#include <cmath>
#include <ostream>

namespace orvane {

Axes Axes::Build(Vector a, Vector b, double tha, double phi, bool verbose, std::ostream& out) {
  a.Normalize();
  b.Normalize();
  const Vector x = a;
  const Vector y = b;
  const Vector z = Cross(a, b);
  const double t = Radians(tha);
  const double p = Radians(phi);
  const double ct = std::cos(t), st = std::sin(t), cp = std::cos(p), sp = std::sin(p);
  Axes frame;
  frame.X = ct * cp * x + ct * sp * y + st * z;
  frame.Y = -sp * x + cp * y;
  frame.Z = st * cp * x + st * sp * y - ct * z;
  if (verbose) {
    out << "\n Axe X " << frame.X << "\n Axe Y " << frame.Y << "\n Axe Z " << frame.Z << "\n";
  }
  return frame;
}

}  // namespace orvane
