// The ions of each simulation shared among threads.  The ions run in
// batches of a size fixed by the number of ions; each ion draws from
// its own random streams.  Once a batch is done the damage its ions
// retained, summed per cell, is added to the run's damage profile, and its
// ions are applied to the run one by one in ion order, each as the
// single-stream run applies its ion: the sums of its damage deposits,
// counters, tally, console lines and files.  Meanwhile
// the threads follow the next batch, whose ions read what couples the ions
// (the damage profile, the rare-event split depths) as it was when the
// batch started: with the ions of every batch but the one being applied.
// So every result is the same for any number of threads, and no thread
// waits while the run applies a batch; only where the damage grows with
// the dose does the next batch wait for it, so as to start from the
// damage of every batch before it.  In a cluster job the processes take
// the ions of a batch in chunks as they come free, from a counter that the
// first process holds, so that a process that follows slow ions, or the
// first while it applies a batch, simply takes fewer; the first process
// alone applies the batches: it receives every process's records of each
// batch and sends the others only what couples the ions.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "run/batch_coupling.h"
#include "run/cluster.h"
#include "run/ion_worker.h"
#include "run/run_state.h"

namespace orvane {

// The ions per batch of a simulation of that many ions: 1 % of them, at
// least 32 (so that a batch keeps the threads busy) and at most 10,000 (so
// that the records of a batch, and the memory, stay the same beyond a
// million ions); at most 1024 when the damage couples the ions, so that
// the profile that an ion reads lags the run by few ions.
uint32_t BatchSize(int ions, bool damageCouples);

// The ions that a process of a job of that many processes, each with that
// many threads, takes from a batch at a time: enough for its threads, and
// few enough that each process takes some 32 chunks of the batch, so that
// the processes end the batch close together.
uint32_t ChunkSize(uint32_t batch, int processes, int threads);

// The threads that "--threads n" asks for: n, or one per core for 0.
int ThreadCount(int requested);

class ParallelDriver {
 public:
  // Starts threads - 1 threads; the calling thread is the last follower.
  explicit ParallelDriver(int threads);
  ~ParallelDriver();
  ParallelDriver(const ParallelDriver&) = delete;
  ParallelDriver& operator=(const ParallelDriver&) = delete;

  // Implants the ions of simulation k, whose header is done.  After each
  // ion is applied to the run (what the tally takes of its finished
  // particles in run.LastIon), closeIon tallies it; when closeIon returns
  // false no further ion is applied.
  void ImplantSimulation(RunState& run, int k, const std::function<bool()>& closeIon);

 private:
  // Follows the ions of every batch until the driver closes.
  void Serve(IonWorker& worker);
  // Takes ions of the batch in hand until none is left.
  void FollowIons(IonWorker& worker);
  // The next ion of the batch in hand for this process, false when none is
  // left; a chunk of the batch is taken when this process's is done.
  bool TakeIon(uint32_t& ion);
  // Readies the followers for the ions first .. last, batch number index
  // of the simulation, with the run's state as it is now, their results
  // going to the slot, and sets the threads on them.
  void StartBatch(const RunState& run, uint32_t first, uint32_t last, int index, int slot);
  // Follows ions of the batch on the calling thread too, waits for the
  // batch to be done and, in a cluster job, gathers the results of the
  // slot from every process on the first (the others keep none).
  void FinishBatch(int slot);
  // What couples the ions after a batch is applied, and whether the run
  // goes on: sent by the first process (SendCoupling), received by the
  // others (ExpectCoupling), taken in by every process (ReceiveCoupling,
  // which returns whether the run goes on).
  void ExpectCoupling();
  void SendCoupling(const RunState& run, bool goOn);
  bool ReceiveCoupling(RunState& run);
  // Applies the ions of a batch done, from the results in the slot, in ion
  // order; false when closeIon stopped.
  bool ApplyBatch(RunState& run, uint32_t first, uint32_t last, int slot,
                  const std::function<bool()>& closeIon);
  // Where the damage grows with the dose: applies the batch done, its
  // damage first, on the first process and gives every process what then
  // couples the ions; false when the run goes no further.
  bool ApplyAndShare(RunState& run, uint32_t first, uint32_t last, int slot,
                     const std::function<bool()>& closeIon);

  std::vector<std::unique_ptr<IonWorker>> workers_;  // the last one is the calling thread's
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  uint64_t batch_ = 0;  // batches started
  int running_ = 0;     // threads still following ions of the batch
  bool closing_ = false;
  // The batch in hand, the chunk of it that this process follows (next_ ..
  // chunkLast_), and whether chunks of it may be left.
  uint32_t batchFirst_ = 1;
  uint32_t batchLast_ = 0;
  int batchIndex_ = 0;
  uint32_t next_ = 1;
  uint32_t chunkLast_ = 0;
  bool chunksLeft_ = false;
  uint32_t chunk_ = 1;  // ions a chunk
  // Ions taken of each batch of the simulation in hand.
  cluster::SharedCounters* taken_ = nullptr;
  std::exception_ptr failure_;
  BatchCoupling coupling_;
  cluster::Sharing sharing_;
  // The results of each slot in the order the processes and their
  // followers made them: the followers' own, or those gathered from the
  // processes of a cluster job.
  std::vector<const BatchResults*> parts_[2];
  std::vector<BatchResults> gathered_[2];
};

}  // namespace orvane
