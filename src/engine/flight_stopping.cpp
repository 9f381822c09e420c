#include "engine/target.h"
#include "physics/averaged_stopping.h"
#include "physics/nonlocal_loss.h"

namespace orvane {

double Target::FlightStopping(const EDT& densityTable, const Particle& particle,
                              const Vector& shift) {
  const Atom& element = Element(particle.Species);
  // No target atom takes part: the flight feels no potential energy.
  const Flight flight{particle.Abs - shift, Normalized(shift), particle.Energy, particle.Energy,
                      shift.Length()};
  if (AveragedGas != nullptr) return AveragedLoss(*AveragedGas, element.W, flight);
  return NonlocalLoss(links_.NonLocalStopping, densityTable, links_.NearbySites, element.Z,
                      element.W, flight, 0.0);
}

}  // namespace orvane
