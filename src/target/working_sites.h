// The sites of a crystal's working list as contiguous arrays, for the
// partner search that examines every one of them at every step, and the
// atoms on them as one search draws them: species and thermally displaced
// positions.
#pragma once

#include <cstdint>
#include <vector>

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

  // Copies the sites of the list (which must outlive this copy).
  void Assign(const List<Site>& sites);
  // Site i moved to r (its list node moves with it).
  void Move(int i, const Vector& r) {
    x_[i] = r.x;
    y_[i] = r.y;
    z_[i] = r.z;
  }
  int Count() const { return static_cast<int>(x_.size()); }

  // Draws the atom on every site in list order, from the streams in their
  // order: per site one uniform number for its species, then along each
  // axis a uniform number and a sign for its thermal displacement.
  void DrawAtoms(Ranmar& rng, LibcRandom& signs, const ThermalTable& thermal);

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
  const Site& Original(int i) const { return *source_[i]; }

 private:
  static constexpr int kChunk = 64;
  // Draws the atoms of the sites first .. first + n - 1 (n <= kChunk).
  void DrawChunk(int first, int n, Ranmar& rng, LibcRandom& signs, const ThermalTable& thermal);

  std::vector<double> x_, y_, z_;
  std::vector<double> fraction_;
  std::vector<uint8_t> speciesA_, speciesB_;
  std::vector<const Site*> source_;
  std::vector<double> atomX_, atomY_, atomZ_;
  std::vector<uint8_t> atomSpecies_;
  std::vector<double> distance2_, along_;
};

}  // namespace orvane
