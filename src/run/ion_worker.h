// One thread's follower of ions when the ions run in parallel: a run state
// of its own that reads the run's tables without copying them, restarted
// for every ion, so that an ion's trajectory depends on nothing but its
// number, its simulation, the seeds and what coupled the ions at the start
// of its batch.
#pragma once

#include <cstdint>
#include <memory>

#include "target/site_draws.h"
#include "damage/varhst.h"
#include "run/batch_results.h"
#include "run/run_state.h"

namespace orvane {

class IonWorker {
 public:
  IonWorker();
  // The run state records into the results: a worker stays where it was made.
  IonWorker(const IonWorker&) = delete;
  IonWorker& operator=(const IonWorker&) = delete;

  // Ready for simulation k of the run, whose header is done and whose
  // tables are loaded: copies of what an ion reads and changes, the tables
  // and the crystals' densities shared.  The run's crystals are lent for a
  // moment, not changed.
  void StartSimulation(RunState& run, int k);
  // What couples the ions, as it is at the start of a batch: the damage
  // profile and the rare-event split depths.  The ions keep the sums of
  // their damage deposits and, when the damage model retains damage, the
  // damage they retain, summed per cell.  The ions that follow go to the
  // results of the slot (0 or 1), emptied first: the run applies the
  // results of one batch while the threads fill the other slot.
  void StartBatch(const RunState& run, int slot);
  // Follows the ion from its own start and appends what it left to the
  // results of the batch.
  void Implant(uint32_t ion);

  const BatchResults& Results(int slot) const { return results_[slot]; }
  // Room in the results of both slots for that many ions.
  void ReserveResults(std::size_t ions) {
    for (BatchResults& results : results_) results.Reserve(ions);
  }

  // Draws the atoms of every site, those out of reach of the path as
  // well: the same records, only slower (it shows that those sites cannot
  // matter).
  void DrawEverySite(bool every) { siteDraws_.EverySite = every; }

 private:
  // The state that the ion in hand must not inherit from the last one.
  void RestartFor(uint32_t ion);
  void Record(uint32_t ion);

  BatchResults results_[2];
  BatchResults* resultsInHand_ = &results_[0];
  std::unique_ptr<RunState> state_;
  SiteDraws siteDraws_;
  VarHist damageAtBatchStart_;
  FinishedIon ended_;  // the ion in hand's finished particles, reduced
  DepositSums sums_;   // the sums of the ion in hand's deposits
  uint32_t simulation_ = 1;
};

}  // namespace orvane
