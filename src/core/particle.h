// A moving (or candidate) atom: a lattice site extended by position,
// direction, energy, status, weight, counters and clocks.
#pragma once

#include <cstdint>
#include <iosfwd>

#include "core/site.h"

namespace orvane {

enum ParticleStatus : int32_t {
  LATTICE_ATOM = 0,
  PROJECTILE = 1,
  VACANCY = 2,
  INTERSTITIAL = 3,
  SECONDARY_PROJ = 4,
  SPUTTERED = 5,
  BACK_SCATTERED = 6,
  IMPLANTED_ION = 7,
  OUTSIDE_ION = 8,
  ION_NOT_FOLLOWED = 9,
  NOT_FOLLOWED = 10,
  OUTSIDE_ATOM = 11,
  PHONON_EXCITED = 12,
};

inline constexpr int kStatusCount = 13;
// The names of the thirteen status codes, indexed by the code.
extern const char StatusNames[kStatusCount][17];
// The name of a status code, or "UNKNOWN STATUS" outside the table.
const char* StatusName(int status);

struct Particle : Site {
  Vector Abs = NullVector;  // absolute position in the target, crystal axes, angstrom
  Vector Org = NullVector;  // where the particle was set in motion
  Vector Dir = UnitX;       // unit direction of motion
  double Energy = 0.0;      // eV
  double Ghi = 0.1;         // next free flight, or a partner's forward distance, angstrom
  double ImpactParameter = 0.0;
  int32_t Status = LATTICE_ATOM;
  // The particle's last partner was drawn from the density of amorphous
  // matter, not found in a lattice: a lattice met next must place it first.
  uint8_t Sampled = 0;
  double InelasticLoss = 0.0;  // electronic loss of the last collision, eV
  int16_t o1 = 0;              // rare-event depth order
  int16_t o2 = 0;              // rare-event energy order
  double Weight = 1.0;
  int32_t Collisions = 0;
  int32_t Flights = 0;      // free flights since the last collision step
  double PathLength = 0.0;  // angstrom
  double Time = 0.0;        // s

  Particle() = default;
  // A particle built from a site: the site part copied, the rest defaults.
  explicit Particle(const Site& site) : Site(site) {}
  // Sets the direction normalised (a null direction stays null).
  void SetDirection(const Vector& direction) { Dir = Normalized(direction); }
};

// Diagnostic text: the site line, energy, direction, positions, Ghi, status.
std::ostream& operator<<(std::ostream& os, const Particle& particle);

}  // namespace orvane
