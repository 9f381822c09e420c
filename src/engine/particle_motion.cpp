#include "engine/particle_motion.h"

#include <cmath>

namespace orvane {

namespace {

// Seconds per (angstrom / sqrt(eV / amu)).
constexpr double kTimeUnit = 7.21958e-15;

void FoldComponent(double& r, double cell, double halfCell) {
  r -= std::trunc(r / halfCell) * cell;
}

}  // namespace

Vector WithoutRoundingNoise(Vector v) {
  if (std::fabs(v.x) < kTolerance) v.x = 0.0;
  if (std::fabs(v.y) < kTolerance) v.y = 0.0;
  if (std::fabs(v.z) < kTolerance) v.z = 0.0;
  return v;
}

void FoldIntoCell(Vector& r, const Vector& cell, const Vector& halfCell) {
  FoldComponent(r.x, cell.x, halfCell.x);
  FoldComponent(r.y, cell.y, halfCell.y);
  FoldComponent(r.z, cell.z, halfCell.z);
}

double FlightTime(double distance, double energy, double mass) {
  if (!(energy > 0.0)) return 0.0;
  return distance / std::sqrt(energy / mass) * kTimeUnit;
}

}  // namespace orvane
