#include <algorithm>
#include <cmath>

#include "engine/final_status.h"
#include "engine/particle_motion.h"
#include "engine/target.h"

namespace orvane {

void Target::IncrementPosition(List<Particle>& finished, List<Particle>& moving, double top,
                               double bottom, const EDT& densityTable) {
  Particle p = moving.First();
  const Vector shift = std::max(GhiLimit, p.Ghi) * p.Dir;
  p.Abs += shift;
  p.R += shift;
  p.Flights += 1;
  p.PathLength += shift.Length();
  FoldIntoLattice(p.R);
  if (std::isnan(p.Energy)) p.Energy = 0.0;
  p.Time += FlightTime(shift.Length(), p.Energy, Element(p.Species).W);
  const double depth = links_.Frame.ComponentX(p.Abs);

  // A fresh ion above the surface has not collided yet and flies on.
  const bool collided = p.ImpactParameter != 0.0;
  if (-depth > top + InteractionRadius && collided) {
    EndTrajectory(p, BACK_SCATTERED, SPUTTERED,
                  "# Error: Target::IncrementPosition1, Wrong status ");
  } else if (depth > bottom + InteractionRadius) {
    EndTrajectory(p, OUTSIDE_ION, OUTSIDE_ATOM, "Error: Target::IncrementPosition2, Wrong status ");
  } else {
    // The surface and back tests come first: a particle that leaves keeps
    // the energy it had before the flight.
    p.Energy -= FlightStopping(densityTable, p, shift);
    if (p.Energy > ThresholdEnergy) {
      moving.First() = p;
      return;
    }
    EndTrajectory(p, IMPLANTED_ION, INTERSTITIAL,
                  "# Error: Target::IncrementPosition, Wrong status ");
  }
  finished.Add(p);
  moving.RemoveAt(1);
}

}  // namespace orvane
