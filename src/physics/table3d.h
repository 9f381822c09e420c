// The table store: for every ordered pair of the run's elements, the
// outcomes of collisions on the grid of 72 energies and 30 impact
// parameters, loaded from the table directory or generated on first use,
// and looked up by bilinear interpolation.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "core/atom.h"
#include "physics/collision.h"
#include "physics/indexes.h"
#include "physics/pair_potentials.h"

namespace orvane {

class TBL {
 public:
  static constexpr int kMaxElements = 10;
  static constexpr int kValues = 7;
  static constexpr std::size_t kTableValues = N_ENERGY * N_S * kValues;      // 15120
  static constexpr std::size_t kTableBytes = kTableValues * sizeof(double);  // 120960
  static constexpr std::size_t kHeaderBytes = 200;

  // Every slot empty, the header buffer all '%'.  A copy shares the tables
  // loaded so far (they are never written once loaded): the stores of
  // parallel ions read one set of tables.
  TBL();

  // Set-up: for every ordered pair of the element list, the binary table,
  // or else the text table, which is then converted to binary.  A pair with
  // neither stays empty until its first look-up generates it.  The table of
  // a pair whose masses differ from those of the table under the usual name
  // has a name of its own (TableNameForMasses).
  void LoadAll(const AtomList& atoms, const PairPotentials& potentials);

  // The slots a, b are 0-based positions in the element list; the name is
  // the pair's text-table name (Zel1405.dat), whose binary twin ends in
  // ".lit".  Both loads return 1 on success and 0 when the file cannot be
  // opened.
  int LoadBinary(int a, int b, const std::string& name);
  int LoadASCII(int a, int b, const std::string& name);
  void SaveBinary(int a, int b, const std::string& name);
  void SaveASCII(int a, int b, const std::string& path);

  // Integrates the table of the pair at 1-based positions, writes it as
  // text to the table directory and loads it.
  void Generate(int projectile, int target, const AtomList& atoms,
                const PairPotentials& potentials);

  // The outcome of a collision of the projectile and target species
  // (1-based positions in the element list) at the energy (eV) and impact
  // parameter (A), generating a missing table first.  A request beyond the
  // last energy cell or at 5 A and more ends the process (status 407).
  // Allocates nothing once the pair's table is present.
  void Lookup(int projectile, int target, double energy, double impact, const AtomList& atoms,
              const PairPotentials& potentials, CollisionOutcome& out);

  // The table of the 0-based slot, energy index outermost, then impact
  // parameter, then value; null when not loaded.
  const double* Table(int a, int b) const { return tables_[a][b].get(); }
  // The header buffer, 200 characters and a terminating NUL.
  const char* Header() const { return header_; }

 private:
  double* NewTable(int a, int b);

  std::shared_ptr<double[]> tables_[kMaxElements][kMaxElements];
  char header_[kHeaderBytes + 1];
};

}  // namespace orvane
