// The non-local electronic stopping served from tables: the selected
// stopping and ionization models, the reference radius RS0 and the current
// layer, and a cache of one table of the selected model per projectile
// element and layer, read from or written to the table directory.
#pragma once

#include <memory>
#include <string>

#include "physics/stopping_models.h"

namespace orvane {

class STP {
 public:
  static constexpr int kElementSlots = 104;  // projectile atomic numbers 0..103
  static constexpr int kLayerSlots = 5;
  // Row j holds rs_j = 0.001 + 0.02 j bohr, column i v_i = 0.001 + 0.002 i.
  static constexpr int kRows = 300;
  static constexpr int kColumns = 2750;
  static constexpr int kEntries = kRows * kColumns;

  // Stopping "Our", ionization "BK", RS0 1.8, layer 0, no table.
  STP();
  // A copy shares the tables read so far (they are never written once
  // read) and keeps its own layer: parallel ions read one set of tables.
  STP(const STP&) = default;
  STP& operator=(const STP&) = default;

  // Indexes into kStoppingModels and kIonizationModels.
  void SelectModels(int stopping, int ionization);
  // The layer (0..4) in which the ion now moves, and its RS0 (bohr).
  void SetLayer(int layer, double rs0);

  int StoppingIndex() const { return stopping_; }
  int IonizationIndex() const { return ionization_; }
  int Layer() const { return layer_; }
  double RS0() const { return parameters_.rs0; }

  // eV/A of the selected model at the speed v (atomic units) and radius rs
  // (bohr): interpolated bilinearly in the table of (Z1, current layer),
  // which is read or generated on first use, or computed directly when
  // (v, rs) lies beyond the table.
  double Stopping(double v, double z1, double rs);
  // The selected model evaluated directly.
  double Model(double v, double z1, double rs) const;
  // The selected model and what it reads besides (v, Z1, rs).
  StoppingFunction ModelFunction() const;
  const StoppingParameters& Parameters() const { return parameters_; }

  // Frees every table: the next simulation reads or generates its own.
  void Release();

 private:
  const double* Table(int z, double z1);
  std::unique_ptr<double[]> LoadOrGenerate(int z, double z1) const;
  // Fills every entry with the selected model.
  void Generate(double* table, double z1) const;
  std::string TablePath(int z) const;

  int stopping_;
  int ionization_;
  int layer_ = 0;
  StoppingParameters parameters_;
  std::shared_ptr<double[]> cache_[kElementSlots][kLayerSlots];
};

}  // namespace orvane
