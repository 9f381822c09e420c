#include "target/working_sites.h"

#include <algorithm>

#include "core/fatal.h"

namespace orvane {

void WorkingSites::Assign(const List<Site>& sites) {
  const std::size_t n = static_cast<std::size_t>(sites.NumberOfElements());
  for (auto* v : {&x_, &y_, &z_, &fraction_, &atomX_, &atomY_, &atomZ_, &distance2_, &along_}) {
    v->resize(n);
  }
  for (auto* v : {&speciesA_, &speciesB_, &atomSpecies_}) v->resize(n);
  source_.resize(n);
  int i = 0;
  for (const Site& site : sites) {
    Move(i, site.R);
    fraction_[i] = site.Fraction;
    speciesA_[i] = site.SpeciesA;
    speciesB_[i] = site.SpeciesB;
    source_[i] = &site;
    ++i;
  }
}

void WorkingSites::DrawAtoms(Ranmar& rng, LibcRandom& signs, const ThermalTable& thermal) {
  const int n = Count();
  for (int first = 0; first < n; first += kChunk) {
    DrawChunk(first, std::min(kChunk, n - first), rng, signs, thermal);
  }
}

void WorkingSites::Measure(const Vector& from, const Vector& direction) {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    const double dx = atomX_[i] - from.x, dy = atomY_[i] - from.y, dz = atomZ_[i] - from.z;
    distance2_[i] = dx * dx + dy * dy + dz * dz;
    along_[i] = dx * direction.x + dy * direction.y + dz * direction.z;
  }
}

void WorkingSites::DrawChunk(int first, int n, Ranmar& rng, LibcRandom& signs,
                             const ThermalTable& thermal) {
  double uniforms[4 * kChunk];
  int32_t signDraws[3 * kChunk];
  rng.Fill(uniforms, 4 * n);
  signs.Fill(signDraws, 3 * n);
  for (int k = 0; k < n; ++k) {
    const int i = first + k;
    const double* u = uniforms + 4 * k;
    const uint8_t species = fraction_[i] > u[0] ? speciesA_[i] : speciesB_[i];
    Require(species <= ThermalTable::kElements, "species>=0 && species<=10", "thermal", 70);
    const Vector shift =
        ThermalShift(thermal, thermal.Amplitude(species), u + 1, signDraws + 3 * k);
    atomSpecies_[i] = species;
    atomX_[i] = x_[i] + shift.x;
    atomY_[i] = y_[i] + shift.y;
    atomZ_[i] = z_[i] + shift.z;
  }
}

}  // namespace orvane
