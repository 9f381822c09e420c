#include "target/crystal.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fstream>
#include <iostream>

#include "core/fatal.h"
#include "core/libc_random.h"
#include "core/replaced_file.h"
#include "core/terminal.h"
#include "target/density_path.h"
#include "target/density_superposition.h"
#include "target/lattice_type.h"

namespace orvane {

namespace {

constexpr double kDegree = 0.017453292519943295;
constexpr double kFar = 4096.0;
constexpr double kNearbyRadius = 3.0;
// A bound just above its square, so that the exact test by the root is
// only needed near the sphere.
constexpr double kNearbyRadius2 = 9.0 * (1.0 + 1e-12);
constexpr int kGridPoints = 112;

// The centring translations of each lattice type, after the origin itself.
struct Centring {
  int count;
  Vector translation[3];
};

const Centring& CentringOf(int type) {
  static const Centring kCentrings[6] = {
      {0, {}},
      {1, {Vector(0.5, 0.5, 0.5)}},
      {1, {Vector(0.5, 0.5, 0.0)}},
      {1, {Vector(0.0, 0.5, 0.5)}},
      {1, {Vector(0.5, 0.0, 0.5)}},
      {3, {Vector(0.5, 0.5, 0.0), Vector(0.0, 0.5, 0.5), Vector(0.5, 0.0, 0.5)}},
  };
  return kCentrings[type - 1];
}

// Cell and site components smaller than the tolerance are rounding residues
// (such as cos 90 degrees) and are stored as 0.
double WithoutResidue(double value) { return std::fabs(value) < kTolerance ? 0.0 : value; }

Vector WithoutResidue(const Vector& v) {
  return Vector(WithoutResidue(v.x), WithoutResidue(v.y), WithoutResidue(v.z));
}

double DistanceFrom(const Site& site, const Vector& point) { return Distance(site.R, point); }

}  // namespace

Crystal::Crystal(double cellRange, double interactionRadius, const Vector& latticeParameter,
                 double ghiLimit, double simultaneousDistance) {
  StoreLimits(cellRange, interactionRadius, latticeParameter, ghiLimit, simultaneousDistance);
}

void Crystal::StoreLimits(double cellRange, double interactionRadius,
                          const Vector& latticeParameter, double ghiLimit,
                          double simultaneousDistance) {
  LatticeParameter = latticeParameter == NullVector ? kDefaultCell : latticeParameter;
  CellRange = cellRange;
  InteractionRadius = interactionRadius;
  GhiLimit = ghiLimit;
  SimultaneousDistance = simultaneousDistance;
  KeepRadius2 = SearchRadius2 = interactionRadius * interactionRadius;
}

int Crystal::MakeIt1(const Vector& position, int type, int speciesA, int speciesB,
                     double fraction) {
  Require(ValidLatticeType(type), "Type>=PRIMITIVE && Type<=FACE_CENTERED", "crystal", 51);
  ++BasisCounter;
  if (BasisCounter >= kMaxBasis) {
    Fatal(401, "# Error: Crystal::MakeIt1, Maximum number of lattice sites reached " +
                   std::to_string(BasisCounter) + " " + std::to_string(kMaxBasis) + "\n");
  }
  const int n = static_cast<int>(2.0 * CellRange + 3.0) / 2;
  Nx = Ny = Nz = n;
  // Components in [0.5, 1) move to [-0.5, 0).
  const Vector p(position.x - std::trunc(2.0 * position.x),
                 position.y - std::trunc(2.0 * position.y),
                 position.z - std::trunc(2.0 * position.z));
  const Centring& centring = CentringOf(type);
  for (int i = -n; i < n; ++i) {
    for (int j = -n; j < n; ++j) {
      for (int k = -n; k < n; ++k) {
        const Vector cell = p + Vector(k, j, i);
        for (int t = -1; t < centring.count; ++t) {
          const Vector f = t < 0 ? cell : cell + centring.translation[t];
          Site site(static_cast<uint8_t>(speciesA), static_cast<uint8_t>(BasisCounter),
                    Vector(f.x, f.y, -f.z), static_cast<uint8_t>(speciesB), fraction);
          Sites.Add(site);
        }
      }
    }
  }
  return Sites.NumberOfElements();
}

int Crystal::SetCell(double a, double b, double c, double alpha, double beta, double gamma) {
  Require(a > 0 && b > 0 && c > 0, "a>0 && b>0 && c>0", "crystal", 111);
  Require(alpha > 0 && beta > 0 && gamma > 0, "Alpha>0 && Beta>0 && Gamma>0", "crystal", 112);
  const double ca = std::cos(alpha * kDegree), cb = std::cos(beta * kDegree);
  const double cg = std::cos(gamma * kDegree), sg = std::sin(gamma * kDegree);
  const double u = (ca - cb * cg) / sg;
  const Vector edgeA = WithoutResidue(a * Vector(1.0, 0.0, 0.0));
  const Vector edgeB = WithoutResidue(b * Vector(cg, sg, 0.0));
  const Vector edgeC = WithoutResidue(c * Vector(cb, u, std::sqrt(1.0 - cb * cb - u * u)));
  CellVolume = a * b * c * std::sqrt(1.0 - ca * ca - cb * cb - cg * cg + 2.0 * ca * cb * cg);
  const int perCell = Sites.NumberOfElements() / (Nx * Ny * Nz * 8);
  const double radius = std::exp(std::log(0.75 * CellVolume / (perCell * kPi)) / 3.0);
  MeanRadius2 = radius * radius;
  Density = perCell / CellVolume * 1e24;
  for (Site& site : Sites) {
    const Vector f = site.R;
    site.R = WithoutResidue(f.x * edgeA + f.y * edgeB + f.z * edgeC);
  }
  BasisCounter = -1;
  SitesChanged();
  return Sites.NumberOfElements();
}

int Crystal::MakeNeighbors(const Vector& position) {
  ++BasisCounter;
  if (BasisCounter >= kMaxBasis) {
    Fatal(401, "# Error: Crystal::MakeNeighbors, Maximum number of lattice sites reached\n");
  }
  const Vector& cell = LatticeParameter;
  const Vector centre(cell.x * position.x, cell.y * position.y, -cell.z * position.z);
  const double radius = HalfDiagonal() + InteractionRadius;
  List<Site>& neighbours = Neighbors[BasisCounter];
  for (const Site& site : Sites) {
    if (Distance(site.R, centre) >= radius) continue;
    Site relative = site;
    relative.R = site.R - centre;
    neighbours.Add(relative);
  }
  return neighbours.Sort(DistanceFrom, NullVector, 1);
}

int Crystal::Reset(double cellRange, double interactionRadius, const Vector& latticeParameter,
                   double ghiLimit, double simultaneousDistance) {
  StoreLimits(cellRange, interactionRadius, latticeParameter, ghiLimit, simultaneousDistance);
  Sites.Clear();
  Sites = Neighbors[0];
  SitesChanged();
  return 1;
}

int Crystal::Rotate(const Axes& rotation) {
  orientation_ = rotation;
  turned_ = true;
  return TurnWorkingList(&rotation);
}

int Crystal::Unrotate() {
  turned_ = false;
  return TurnWorkingList(nullptr);
}

int Crystal::TurnWorkingList(const Axes* rotation) {
  KeepWorkingListInStep();
  working_.Turn(rotation);
  return working_.Count();
}

const Site& Crystal::SetNearestTo(const Vector& point) {
  KeepWorkingListInStep();
  const int closest = working_.Closest(point);
  Nearest = closest >= 0 ? working_.Original(closest) : Sites.First();
  return Nearest;
}

void Crystal::PlaceAfterRotation(Particle& particle, const List<Vector>& struck) {
  double closest2 = HalfDiagonal() * HalfDiagonal();
  const Vector* anchor = nullptr;
  for (const Vector& atom : struck) {
    const Vector d = particle.Abs - atom;
    if (Dot(d, d) <= closest2) {
      closest2 = Dot(d, d);
      anchor = &atom;
    }
  }
  if (anchor != nullptr) particle.R = particle.Abs - *anchor;
  SetNearestTo(particle.R);
}

double Crystal::HalfDiagonal() const {
  const Vector& cell = LatticeParameter;
  return std::max({cell.x, cell.y, cell.z}) * (std::sqrt(3.0) / 2.0);
}

double Crystal::BeginSearch(const Particle& particle, const List<Particle>& candidates,
                            List<Vector>& nearby) {
  const double oldGhi = particle.Ghi + kTolerance;
  Require(oldGhi >= GhiLimit, "OldGhi>=GhiLimit", "crystal", 489);
  Require(candidates.Empty(), "Candidates.NumberOfElements()==0", "crystal", __LINE__);
  nearby.Clear();
  KeepWorkingListInStep();
  return oldGhi;
}

int Crystal::FindPartners(Particle& particle, List<Particle>& candidates, double& closestImpact2,
                          Ranmar& rng, LibcRandom& signs, double lowerDepth, double upperDepth,
                          const ThermalTable& thermal, const Axes& frame, List<Vector>& nearby) {
  const double oldGhi = BeginSearch(particle, candidates, nearby);
  working_.DrawAtoms(rng, signs, thermal);
  working_.Measure(particle.R, particle.Dir);
  return SelectPartners(particle, candidates, closestImpact2, oldGhi, {lowerDepth, upperDepth},
                        frame, nearby, false);
}

int Crystal::FindPartners(Particle& particle, List<Particle>& candidates, double& closestImpact2,
                          SiteDraws& draws, double lowerDepth, double upperDepth,
                          const ThermalTable& thermal, const Axes& frame, List<Vector>& nearby) {
  const double oldGhi = BeginSearch(particle, candidates, nearby);
  // A margin of a millionth of an angstrom covers the rounding of the
  // distances, so that a far site can never be a partner nor nearby.
  constexpr double kMargin = 1e-6;
  const double reach = draws.Reach + kMargin;
  WorkingSites::Reach limits;
  limits.PathRadius2 = (InteractionRadius + reach) * (InteractionRadius + reach);
  limits.MinimumAlong = oldGhi - reach;
  limits.NearbyRadius2 = (kNearbyRadius + reach) * (kNearbyRadius + reach);
  working_.DrawAtomsInReach(particle.R, particle.Dir, limits, draws.NextSearch(), draws.EverySite,
                            thermal);
  return SelectPartners(particle, candidates, closestImpact2, oldGhi, {lowerDepth, upperDepth},
                        frame, nearby, true);
}

int Crystal::SelectPartners(Particle& particle, List<Particle>& candidates,
                            double& closestImpact2, double oldGhi, DepthRange depths,
                            const Axes& frame, List<Vector>& nearby, bool farSitesMarked) {
  double sMin = kFar, sMax = kFar, p2Selected = kFar, out = kFar, sNearMiss = kFar;
  const Vector shift = particle.Abs - particle.R;
  int nearMissIndex = -1;
  // The site that passes the path closest among those that miss it, the
  // first in list order among equals; a far site counts at its lattice
  // position.
  const auto considerMiss = [&](int i, double s, double p2) {
    if (p2 < out || (p2 == out && i < nearMissIndex)) {
      out = p2;
      sNearMiss = s;
      nearMissIndex = i;
    }
  };
  const int* examined = working_.Examined();
  for (int k = 0; k < working_.ExaminedCount(); ++k) {
    const int i = examined[k];
    const Vector atomR = working_.AtomPosition(i);
    const double d2 = working_.Distance2(i);
    if (d2 <= kNearbyRadius2 && std::sqrt(d2) <= kNearbyRadius) nearby.Add(atomR + shift);
    const double s = working_.Along(i);
    if (!(oldGhi < s && s <= sMax)) continue;
    const double p2 = d2 - s * s;
    if (p2 < SearchRadius2) {
      const double depth = frame.ComponentX(atomR + shift);
      if (depth < depths.lower || depth > depths.upper) continue;
      const Site atom = working_.Atom(i);
      if (s < sMin) {
        sMin = s;
        sMax = s + SimultaneousDistance;
        p2Selected = p2;
        Nearest = atom;
      }
      Particle candidate(atom);
      candidate.Org = working_.Position(i);
      candidates.Add(candidate);
    } else if (!(farSitesMarked && working_.Far(i))) {
      considerMiss(i, s, p2);
    }
  }
  if (candidates.Empty()) {
    if (farSitesMarked) {
      const WorkingSites::Miss miss = working_.FarMiss(oldGhi);
      if (miss.Index >= 0) considerMiss(miss.Index, miss.Along, miss.Impact2);
    }
    particle.Ghi = sNearMiss == kFar ? GhiLimit : sNearMiss;
    if (nearMissIndex >= 0) {
      Nearest = farSitesMarked && working_.Far(nearMissIndex) ? working_.Original(nearMissIndex)
                                                              : working_.Atom(nearMissIndex);
    } else {
      Nearest = Site();
    }
    closestImpact2 = out;
    return 0;
  }
  // Keep the partners that are met together with the nearest one: those
  // within SimultaneousDistance behind it that the interaction sphere
  // around it still reaches.
  out = p2Selected;
  candidates.RemoveIf([&](const Particle& candidate) {
    const Vector d = candidate.R - particle.R;
    const double s = Dot(d, particle.Dir);
    const double p2 = Dot(d, d) - s * s;
    if (s > sMax) return true;
    if (s > sMin) {
      const double limit = KeepRadius2 - (s - sMin) * (s - sMin);
      if (p2 > limit || p2Selected > limit) return true;
    }
    out = std::min(out, p2);
    return false;
  });
  closestImpact2 = out;
  return candidates.NumberOfElements();
}

void Crystal::CreateIADS(const std::string& name, const IsolatedDensities& densities) {
  const std::time_t start = std::time(nullptr);
  Density3D.Initialise(LatticeParameter.x, LatticeParameter.y, LatticeParameter.z, kGridPoints,
                       kGridPoints, kGridPoints);
  // The count of planes left is redrawn in place, on a terminal only.
  SuperposeDensities(Sites, densities, Density3D,
                     StandardErrorIsTerminal() ? &std::cerr : nullptr);
  const std::string path = DensityPath(name);
  std::cerr << "# " << std::difftime(std::time(nullptr), start) << " seconds\n";
  Density3D.SaveBinTable3D(path);
}

void Crystal::ShowToXMol(const std::string& fileName, const AtomList& atoms,
                         const Axes& frame) const {
  ReplacedFile replaced(fileName);
  std::ofstream& os = replaced.Stream();
  if (!os) Fatal(300, "# Error: Crystal::ShowToXMol, Can not open the file " + fileName + "\n");
  std::string symbols[kDensityTables];
  int elements = 0;
  for (const Atom& atom : atoms) {
    if (elements + 1 >= kDensityTables) break;
    symbols[++elements] = atom.SymbolText();
  }
  os << Sites.NumberOfElements() << '\n' << '\n';
  for (const Site& site : Sites) {
    Require(site.Species >= 1 && site.Species <= elements, "Species>=1 && Species<=Atoms",
            "crystal", __LINE__);
    os << symbols[site.Species];
    site.WriteInFrame(os, frame);
  }
  if (!replaced.Commit()) {
    Fatal(300, "# Error: Crystal::ShowToXMol, Can not open the file " + fileName + "\n");
  }
}

}  // namespace orvane
