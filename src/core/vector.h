// Three-component vectors of positions and directions (angstrom).
#pragma once

#include <cmath>
#include <iosfwd>

namespace orvane {

struct Vector {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  constexpr Vector() = default;
  constexpr Vector(double ax, double ay, double az) : x(ax), y(ay), z(az) {}

  Vector& operator+=(const Vector& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  Vector& operator-=(const Vector& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
  }
  Vector& operator*=(double f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
  }
  double Length() const { return std::sqrt(x * x + y * y + z * z); }
  double Length2() const { return x * x + y * y + z * z; }
  // Divides by the length; a vector of length exactly 0 stays unchanged.
  Vector& Normalize() {
    const double l = Length();
    if (l != 0.0) {
      x /= l;
      y /= l;
      z /= l;
    }
    return *this;
  }
};

// The rounding tolerance of the whole system (angstrom, or units of
// momentum): smaller components are noise, and margins of this size keep
// strict comparisons from failing on rounding.
inline constexpr double kTolerance = 1.0862e-05;

// Pi as the angles of the run are converted with it.
inline constexpr double kPi = 3.141592653589793;
inline double Radians(double degrees) { return degrees * kPi / 180.0; }

inline constexpr Vector NullVector{0.0, 0.0, 0.0};
inline constexpr Vector UnitX{1.0, 0.0, 0.0};

inline Vector operator+(Vector a, const Vector& b) { return a += b; }
inline Vector operator-(Vector a, const Vector& b) { return a -= b; }
inline Vector operator-(const Vector& a) { return Vector(-a.x, -a.y, -a.z); }
inline Vector operator*(Vector a, double f) { return a *= f; }
inline Vector operator*(double f, Vector a) { return a *= f; }
inline double Dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector Cross(const Vector& a, const Vector& b) {
  return Vector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline Vector Normalized(Vector a) { return a.Normalize(); }
inline double Distance(const Vector& a, const Vector& b) { return (a - b).Length(); }
inline bool operator==(const Vector& a, const Vector& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const Vector& a, const Vector& b) { return !(a == b); }

// Text form "( x, y, z )", each component in a field of width 9 with the
// stream's own precision and flags.
std::ostream& operator<<(std::ostream& os, const Vector& v);
// Reads three numbers separated by white space.
std::istream& operator>>(std::istream& is, Vector& v);

}  // namespace orvane
