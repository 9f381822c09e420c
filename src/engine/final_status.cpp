#include "engine/final_status.h"

#include <iostream>

namespace orvane {

void EndTrajectory(Particle& particle, int ionEnd, int recoilEnd, const char* wrongStatusText) {
  switch (particle.Status) {
    case PROJECTILE: particle.Status = ionEnd; break;
    case SECONDARY_PROJ: particle.Status = recoilEnd; break;
    default:
      std::cerr << wrongStatusText << StatusName(particle.Status) << " " << particle.Status << "\n";
  }
}

}  // namespace orvane
