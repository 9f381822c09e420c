// The end of a trajectory: the status that a moving particle takes when it
// comes to rest or leaves the target.
#pragma once

#include "core/particle.h"

namespace orvane {

// Gives the moving ion (PROJECTILE) the status ionEnd and the moving recoil
// (SECONDARY_PROJ) the status recoilEnd.  Any other status marks an
// inconsistency elsewhere: it is kept, and the wrongStatusText is written to
// standard error followed by the status name, " ", the code and a line end.
void EndTrajectory(Particle& particle, int ionEnd, int recoilEnd, const char* wrongStatusText);

}  // namespace orvane
