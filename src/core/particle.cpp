#include "core/particle.h"

#include <ostream>

namespace orvane {

const char StatusNames[kStatusCount][17] = {
    "LATTICE ATOM", "PROJECTILE",     "VACANCY",       "INTERSTITIAL", "SECONDARY_PROJ",
    "SPUTTERED",    "BACK SCATTERED", "IMPLANTED ION", "OUTSIDE ION",  "ION NOT FOLLOWED",
    "NOT FOLLOWED", "OUTSIDE ATOM",   "PHONON EXCITED"};

const char* StatusName(int status) {
  if (status < 0 || status >= kStatusCount) return "UNKNOWN STATUS";
  return StatusNames[status];
}

std::ostream& operator<<(std::ostream& os, const Particle& p) {
  os << static_cast<const Site&>(p);
  os << "Energy: " << p.Energy << " (eV)\n";
  os << "Dir " << p.Dir << '\n';
  os << "Abs " << p.Abs << '\n';
  os << "Org " << p.Org << '\n';
  os << " Ghi = " << p.Ghi << '\n';
  os << StatusName(p.Status) << '\n';
  os << "\n\n";
  return os;
}

}  // namespace orvane
