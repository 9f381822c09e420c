// The sites of a crystal's working list as contiguous arrays, for the
// partner search that examines every one of them at every step, and the
// atoms on them as one search draws them: species and thermally displaced
// positions.
#pragma once

#include <cstdint>
#include <vector>

#include "core/axes.h"
#include "core/libc_random.h"
#include "core/list.h"
#include "core/ranmar.h"
#include "core/site.h"
#include "core/thermal.h"
#include "core/vector.h"

namespace orvane {

class WorkingSites {
 public:
  WorkingSites() = default;
  // A copy points into no list: it starts empty and is assigned again from
  // its own crystal's list.
  WorkingSites(const WorkingSites&) {}
  WorkingSites& operator=(const WorkingSites&) {
    *this = WorkingSites();
    return *this;
  }
  WorkingSites& operator=(WorkingSites&&) = default;

  // Copies the sites of the list (which must outlive this copy), whose
  // positions are the unrotated ones.
  void Assign(List<Site>& sites);
  int Count() const { return count_; }
  // The sites at their unrotated positions turned by the rotation, or
  // unrotated without one.  The list keeps the unrotated positions.
  void Turn(const Axes* rotation);
  // The site nearest to the point (the first among equals), -1 without
  // sites.
  int Closest(const Vector& point);

  // Draws the atom on every site in list order, from the streams in their
  // order: per site one uniform number for its species, then along each
  // axis a uniform number and a sign for its thermal displacement.
  void DrawAtoms(Ranmar& rng, LibcRandom& signs, const ThermalTable& thermal);

  // How far from a path a site's lattice position may lie and still matter:
  // its atom may come within the interaction radius of the path ahead, or
  // within the nearby radius of the point (squares and distances in
  // angstrom, the longest thermal displacement included).
  struct Reach {
    double PathRadius2 = 0.0;
    double MinimumAlong = 0.0;
    double NearbyRadius2 = 0.0;
  };
  // The parallel run's draw, measured at once from the point along the
  // unit direction: the sites whose lattice positions lie beyond reach are
  // marked far and draw nothing (unless everySite); the others draw their
  // atoms from their own words of the search and are examined.
  void DrawAtomsInReach(const Vector& from, const Vector& direction, const Reach& reach,
                        uint64_t search, bool everySite, const ThermalTable& thermal);
  bool Far(int i) const { return reachMask_[i] == 0; }
  // The far site beyond the distance along the path that passes the path
  // closest at its lattice position (the first in list order among
  // equals), after DrawAtomsInReach.
  struct Miss {
    int Index = -1;  // none
    double Along = 0.0;
    double Impact2 = 0.0;
  };
  Miss FarMiss(double after) const;

  // The sites that the partner search examines, in list order: every site
  // after DrawAtoms, those drawn after DrawAtomsInReach.
  const int* Examined() const { return examinedList_; }
  int ExaminedCount() const { return examinedCount_; }

  // Measures every drawn atom from the point: its squared distance and its
  // distance along the unit direction, all sites at once.
  void Measure(const Vector& from, const Vector& direction);
  double Distance2(int i) const { return distance2_[i]; }
  double Along(int i) const { return along_[i]; }

  // The atom drawn on site i.
  Vector AtomPosition(int i) const { return Vector(atomX_[i], atomY_[i], atomZ_[i]); }
  Site Atom(int i) const {
    Site atom = *source_[i];
    atom.Species = atomSpecies_[i];
    atom.R = AtomPosition(i);
    return atom;
  }
  // Site i at its lattice position, turned as the list is.
  Vector Position(int i) const { return Vector(x_[i], y_[i], z_[i]); }
  Site Original(int i) const {
    Site site = *source_[i];
    site.R = Position(i);
    return site;
  }

 private:
  static constexpr int kChunk = 64;
  // Draws the atoms of the sites first .. first + n - 1 (n <= kChunk).
  void DrawChunk(int first, int n, Ranmar& rng, LibcRandom& signs, const ThermalTable& thermal);

  int count_ = 0;
  // The lattice positions, and what the reach test and the search for the
  // nearest site write of each site, padded to a multiple of four: the
  // loops take four sites at a time, and a padding site (not a number) is
  // never within reach.
  std::vector<double> x_, y_, z_;
  std::vector<double> unrotatedX_, unrotatedY_, unrotatedZ_;
  std::vector<double> fraction_;
  std::vector<uint8_t> speciesA_, speciesB_;
  std::vector<Site*> source_;
  std::vector<double> atomX_, atomY_, atomZ_;
  std::vector<uint8_t> atomSpecies_;
  std::vector<double> distance2_, along_;
  std::vector<double> latticeDistance2_, latticeAlong_;
  std::vector<double> closest2_;    // Closest's squared distances
  std::vector<int64_t> reachMask_;  // 0 where far
  std::vector<int> everySite_, examined_;
  const int* examinedList_ = nullptr;
  int examinedCount_ = 0;
  // Site i's atom drawn from its words of the search, and measured.
  void DrawKeyed(int i, const Vector& from, const Vector& direction, uint64_t search,
                 const ThermalTable& thermal);
};

}  // namespace orvane
