// The electron density of a cell as the superposition of the isolated-atom
// densities of the lattice atoms around it.
#pragma once

#include <iosfwd>

#include "core/list.h"
#include "core/site.h"
#include "target/edt1d.h"
#include "target/edt3d.h"

namespace orvane {

// Fills every point of the initialised grid, at x = -Lx/2 + i Lx/Nx (and
// likewise along y and z), with the sum over the sites, in list order, of
// the isolated-atom density of the site's element at the distance between
// the point and the site: densities[Species](r) for a site of one species,
// Fraction densities[SpeciesA](r) + (1 - Fraction) densities[SpeciesB](r)
// for a mixed one.  The value is stored at the grid indices of the point.
// After each x plane, the number of planes still to do (counting that one)
// is written to progress, if given, in a field of 8 followed by nine
// backspaces.  The planes are shared among the processor cores; every
// point is summed in the same order whatever the sharing, so the table does
// not depend on it.
void SuperposeDensities(const List<Site>& sites, const IsolatedDensities& densities, EDT& grid,
                        std::ostream* progress);

}  // namespace orvane
