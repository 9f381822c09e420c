#include "engine/target.h"
#include "physics/averaged_stopping.h"
#include "physics/integrated_loss.h"
#include "physics/nonlocal_loss.h"

namespace orvane {

double Target::FlightStopping(const EDT& densityTable, const Particle& particle,
                              const Vector& shift) {
  const Atom& element = Element(particle.Species);
  // No target atom takes part: the flight feels no potential energy.
  const Flight flight{particle.Abs - shift, Normalized(shift), particle.Energy, particle.Energy,
                      shift.Length()};
  if (AveragedGas != nullptr) return AveragedLoss(*AveragedGas, element.W, flight);
  return NonlocalLossAlong(densityTable, element.Z, element.W, flight, 0.0);
}

double Target::NonlocalLossAlong(const EDT& densityTable, double z1, double m1,
                                 const Flight& flight, double z2) {
  STP& stopping = links_.NonLocalStopping;
  const List<Vector>& sites = links_.NearbySites;
  return IntegratedLoss ? IntegratedNonlocalLoss(stopping, densityTable, sites, z1, m1, flight, z2)
                        : NonlocalLoss(stopping, densityTable, sites, z1, m1, flight, z2);
}

}  // namespace orvane
