// The scattering-table computer: fills rows of the table of one element
// pair, one collision per energy and impact parameter of the grids, and
// writes the table as text.
#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "physics/collision.h"
#include "physics/indexes.h"
#include "physics/pair_potentials.h"
#include "physics/ssf.h"

namespace orvane {

class TC {
 public:
  static constexpr int kValues = 7;  // values per entry
  static constexpr int kHeaderBytes = 200;

  // The collisions of a row are shared among the threads; every collision is
  // independent, so the table does not depend on their number.
  explicit TC(int threads = DefaultThreads(), StepControl control = StepControl::kRefined);
  // The pair refers to the embedded screening table.
  TC(const TC&) = delete;
  TC& operator=(const TC&) = delete;

  // Stores the pair, fills its screening table with the code of the pair
  // potential table and allocates rows x 30 entries, every value 1.0.
  void Init(double z1, double z2, double w1, double w2, int rows, const PairPotentials& potentials);

  // One collision at the energy (eV) and impact parameter (A).
  CollisionOutcome Collide(double energy, double impact) const;

  // Fills the 30 entries of the row at the energy index and angle index,
  // printing the row's timing on standard error.
  void ComputeRow(int energyIndex, int phiIndex, int row);
  // Computes row e at energy index e, printing the index line on standard
  // error.
  void ComputeIndex(int energyIndex);
  // Computes rows 0 .. count-1 as ComputeIndex does, with the collisions of
  // all rows shared among the threads (no thread waits at the end of a
  // row); the timing and index lines come row after row, in order.
  void ComputeIndexes(int count);
  // Whether the timing and index lines are printed (they are by default);
  // they overwrite each other, so only a terminal shows them usefully.
  void ShowProgress(bool shown) { showProgress_ = shown; }

  // The first rows of the table as text, after a 200-byte header that
  // carries the masses; a file that cannot be created ends the process
  // (status 300).
  void SAVE_ASCII(const std::string& fileName, int rows) const;

  // rows x 30 x 7 values: value fastest, then impact parameter, then row.
  const float* Table() const { return table_.get(); }
  int Rows() const { return rows_; }
  const SSF& Screening() const { return ssf_; }

  static int DefaultThreads();

 private:
  struct RowTask {
    int energyIndex;
    int row;
  };
  // Integrates the collisions of the rows and calls finished(k) on this
  // thread for each row k, in order, once it is complete.
  void Integrate(const RowTask* rows, int count, const std::function<void(int)>& finished);
  void PrintRowTime(int energyIndex, int phiIndex, std::time_t start) const;
  void PrintIndexTime(int energyIndex, std::time_t start) const;

  float* Entry(int row, int impactIndex) {
    return table_.get() + (static_cast<long>(row) * N_S + impactIndex) * kValues;
  }

  int threads_;
  StepControl control_;
  bool showProgress_ = true;
  SSF ssf_{};
  NucleusPair pair_;
  std::unique_ptr<float[]> table_;
  int rows_ = 0;
  double w1_ = 0.0;  // amu
  double w2_ = 0.0;
};

}  // namespace orvane
