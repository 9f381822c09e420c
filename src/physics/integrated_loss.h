// The non-local electronic loss of a flight through a crystal's electron
// density to a stated accuracy: the 30 sub-steps of NonlocalLoss at the
// same points, with the feedback of each sub-step's loss on the kinetic
// energy of the next taken to first order, so that the sub-steps' look-ups
// run side by side instead of one after another.
#pragma once

#include "core/list.h"
#include "core/vector.h"
#include "physics/nonlocal_loss.h"
#include "physics/stp.h"
#include "target/edt3d.h"

namespace orvane {

// The relative error that the linearized feedback may bring into a
// flight's loss at most; flights that it would exceed are summed sub-step
// after sub-step, as NonlocalLoss sums them.
inline constexpr double kIntegratedLossTolerance = 2e-5;

// NonlocalLoss(stp, density, nearbySites, z1, m1, flight, z2) within the
// tolerance (and the cube roots' 1e-9).
double IntegratedNonlocalLoss(STP& stp, const EDT& density, const List<Vector>& nearbySites,
                              double z1, double m1, const Flight& flight, double z2);

// The loss of the flight's sub-steps with the densities (per A^3) and the
// potential energies (eV) at their start points, the feedback linearized;
// false where that may not hold to the tolerance (a speed or a radius
// beyond the table, a sub-step that starts with no kinetic energy at all, a
// loss too large against the kinetic energy), and the sub-steps must be
// summed one after another.
bool LinearizedLoss(const StoppingTable& table, const double* densities, const double* potentials,
                    double m1, const Flight& flight, double& loss);

// The one-electron radius of OneElectronRadius within a relative 1e-9,
// without the library's cube root.
double FastOneElectronRadius(double n);

}  // namespace orvane
