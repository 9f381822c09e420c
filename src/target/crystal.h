// The atomic arrangement of one crystalline layer: the basis atoms repeated
// over a block of unit cells, the neighbourhood of each basis atom sorted by
// distance, the search for the lattice atoms that a moving particle meets
// next, and the electron density of the cell.
#pragma once

#include <string>
#include <vector>

#include "core/atom.h"
#include "core/axes.h"
#include "core/list.h"
#include "core/particle.h"
#include "core/ranmar.h"
#include "core/site.h"
#include "core/thermal.h"
#include "core/vector.h"
#include "target/edt1d.h"
#include "target/edt3d.h"
#include "target/partner_sampler.h"
#include "target/radius_distribution.h"
#include "target/site_draws.h"
#include "target/working_sites.h"

namespace orvane {

class Crystal {
 public:
  static constexpr int kMaxBasis = 30;
  // The cell taken when the lattice parameter given is null.
  static constexpr Vector kDefaultCell{5.431, 5.431, 5.431};

  Crystal() : Crystal(0.0, 0.0, NullVector, 0.0, 0.0) {}
  Crystal(double cellRange, double interactionRadius, const Vector& latticeParameter,
          double ghiLimit, double simultaneousDistance);

  // Repeats one basis atom (fractions of the cell) over the block of cells
  // -N..N-1 along each axis with the translations of its lattice type;
  // returns the number of sites.  A 31st basis atom ends the process with
  // status 401.
  int MakeIt1(const Vector& position, int type, int speciesA, int speciesB, double fraction);
  // Turns the fractional block into Cartesian positions of the cell a, b, c
  // (angstrom), Alpha, Beta, Gamma (degrees), and fills CellVolume,
  // MeanRadius2 and Density; returns the number of sites.
  int SetCell(double a, double b, double c, double alpha, double beta, double gamma);
  // Keeps, sorted by distance, the sites around the next basis atom (in the
  // order of the MakeIt1 calls), positions relative to it; returns their
  // number.
  int MakeNeighbors(const Vector& position);
  // Stores the limits again and makes the working list the neighbourhood of
  // the first basis atom; returns 1.
  int Reset(double cellRange, double interactionRadius, const Vector& latticeParameter,
            double ghiLimit, double simultaneousDistance);

  // The working list turned by the rows of the matrix; returns the number
  // of sites rotated.
  int Rotate(const Axes& rotation);
  // The working list back in its unrotated positions; returns their number.
  int Unrotate();
  // The rotation of the working list, or null while it is unrotated.
  const Axes* Orientation() const { return turned_ ? &orientation_ : nullptr; }
  // Nearest becomes the site of the working list closest to the point (in
  // the lattice frame); returns it.
  const Site& SetNearestTo(const Vector& point);
  // Places the particle in the freshly rotated working list about the atom
  // it has just struck: the struck atom (absolute positions) nearest to it,
  // when one lies within the half diagonal of the cell, takes the site at
  // the lattice origin, so that its neighbours turn about it and the
  // particle keeps its place beside it.  The particle then meets the next
  // atoms at the material's density, where a fresh lattice about the cell
  // origin would put it at a random point, inside the empty shell of some
  // other atom.  Without such an atom the particle keeps its place in the
  // lattice frame.  Nearest becomes the site closest to the particle.
  void PlaceAfterRotation(Particle& particle, const List<Vector>& struck);

  // The collision candidates ahead of the particle: the nearest lattice atom
  // in front of it within InteractionRadius of its path, and the further ones
  // within SimultaneousDistance that the interaction sphere around the
  // nearest still reaches, each displaced thermally, with absolute depths
  // within [lowerDepth, upperDepth].  Every site is examined: one uniform
  // number chooses its species, then the displacement draws.  Sites within
  // 3 A of the particle go to the nearby-site list (absolute positions).
  // The signs of the displacements come from the sign stream.
  // Returns the number of candidates and the smallest squared impact
  // parameter; without candidates the particle's Ghi becomes the forward
  // distance of the nearest miss (or GhiLimit) and Nearest that miss.  The
  // candidate list must be empty on entry.
  int FindPartners(Particle& particle, List<Particle>& candidates, double& closestImpact2,
                   Ranmar& rng, LibcRandom& signs, double lowerDepth, double upperDepth,
                   const ThermalTable& thermal, const Axes& frame, List<Vector>& nearby);
  // The same search as the parallel run makes it: each site's atom drawn
  // from its own words of the ion's next search.  A site whose lattice
  // position cannot come within reach of the path nor of the nearby
  // radius, whatever its displacement, draws nothing (unless
  // draws.EverySite) and counts at its lattice position as a near miss.
  int FindPartners(Particle& particle, List<Particle>& candidates, double& closestImpact2,
                   SiteDraws& draws, double lowerDepth, double upperDepth,
                   const ThermalTable& thermal, const Axes& frame, List<Vector>& nearby);

  // Superposes the isolated-atom densities of the working list on the
  // 112^3 grid of the cell, reporting progress on standard error, and saves
  // the binary table under the name in the density directory.
  void CreateIADS(const std::string& name, const IsolatedDensities& densities);

  // The sites as an XYZ file: their number, an empty line, and one line per
  // site with the element symbol and the position in the implant frame.
  // Status 300 when the file cannot be written.
  void ShowToXMol(const std::string& fileName, const AtomList& atoms, const Axes& frame) const;

  // The working list.  Code that changes it other than through the methods
  // above must keep its number of sites or call SitesChanged.
  List<Site> Sites;
  int Nx = 0, Ny = 0, Nz = 0;
  int BasisCounter = -1;
  Vector LatticeParameter = kDefaultCell;
  double CellRange = 0.0;
  double InteractionRadius = 0.0;
  double GhiLimit = 0.0;
  double SimultaneousDistance = 0.0;
  double KeepRadius2 = 0.0;
  double SearchRadius2 = 0.0;
  double CellVolume = 0.0;   // cubic angstrom
  double MeanRadius2 = 0.0;  // square of the mean atomic radius
  double Density = 0.0;      // atoms per cubic centimetre
  Site Nearest;
  EDT Density3D;
  List<Site> Neighbors[kMaxBasis];
  // Where the layer's partners are drawn from its density, the partners
  // and the spread of the density that such matter offers (made for layers
  // that ask for it only).
  PartnerSampler Sampler;
  RadiusDistribution Radii;

  // The partner search reads the working list again.
  void SitesChanged() { working_.Assign(Sites); }

 private:
  WorkingSites working_;  // the working list as the partner search reads it
  // Reads the list again when its number of sites changed (a copy of the
  // crystal starts without), turned as before.
  void KeepWorkingListInStep() {
    if (working_.Count() == Sites.NumberOfElements()) return;
    SitesChanged();
    working_.Turn(Orientation());
  }
  // Sets the working list at its unrotated positions turned by the
  // rotation (left unturned when null); returns the number of sites moved.
  int TurnWorkingList(const Axes* rotation);
  Axes orientation_;
  bool turned_ = false;
  struct DepthRange {
    double lower, upper;
  };
  // Checks the search's preconditions, empties the nearby list and returns
  // the forward distance beyond which partners are sought.
  double BeginSearch(const Particle& particle, const List<Particle>& candidates,
                     List<Vector>& nearby);
  // The candidates among the drawn atoms, measured from the particle.
  int SelectPartners(Particle& particle, List<Particle>& candidates, double& closestImpact2,
                     double oldGhi, DepthRange depths, const Axes& frame, List<Vector>& nearby,
                     bool farSitesMarked);
  // Half the diagonal of a cube with the longest cell edge: the farthest a
  // folded particle lies from the lattice origin.
  double HalfDiagonal() const;
  void StoreLimits(double cellRange, double interactionRadius, const Vector& latticeParameter,
                   double ghiLimit, double simultaneousDistance);
};

}  // namespace orvane
