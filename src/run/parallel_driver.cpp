#include "run/parallel_driver.h"

#include <algorithm>

#include "core/fatal.h"
#include "run/batch_coupling.h"
#include "run/cluster.h"
#include "run/implant_loop.h"
#include "run/shared_tables.h"

namespace orvane {

namespace {

// Brings one ion of a batch into the run as if the run had followed it:
// the sums of its damage deposits, its counters and what the tally takes
// of its finished particles.
void ApplyIon(RunState& run, const IonRecords& ion) {
  const IonSummary& summary = *ion.Summary;
  run.Damage.AddSums(summary.Sums);
  run.LastIon.Walked = static_cast<int>(summary.Walked);
  run.LastIon.PathSum = summary.PathSum;
  run.LastIon.Ended.assign(ion.Finished, ion.Finished + summary.Particles);
  run.RotationCount += summary.Rotations;
  run.PartnerCount += summary.Partners;
  run.Engine.Counters.SimultaneousCollisions += summary.SimultaneousCollisions;
  run.Engine.Counters.NSimTotal += summary.PartnerSum;
  if (summary.SplitBoundHit) ReportSplitBound(run, summary.Ion);
}

// Adds the damage that the ions of a batch retained, summed over the
// parts that followed them, to the run's profile, its cells widened first
// to the deepest that an ion of the batch reached.
void ApplyBatchDamage(RunState& run, const std::vector<const BatchResults*>& parts) {
  // The parts summed on the cells of the profile as the batch started.
  DamageIncrements retained = parts.front()->Retained;
  float stop = run.Damage.Damage.Stop;
  for (const BatchResults* part : parts) {
    if (part != parts.front()) retained.Merge(part->Retained);
    for (const IonSummary& ion : part->Ions) stop = std::max(stop, ion.Sums.Stop);
  }
  run.Damage.AddIncrements(retained, stop);
}

}  // namespace

uint32_t BatchSize(int ions, bool damageCouples) {
  const uint32_t onePercent = (static_cast<uint32_t>(std::max(ions, 0)) + 99) / 100;
  return std::clamp<uint32_t>(onePercent, 32, damageCouples ? 1024 : 10000);
}

uint32_t ChunkSize(uint32_t batch, int processes, int threads) {
  const uint32_t share = batch / (32u * static_cast<uint32_t>(std::max(processes, 1)));
  return std::max({share, static_cast<uint32_t>(std::max(threads, 1)), 1u});
}

int ThreadCount(int requested) {
  if (requested > 0) return requested;
  return std::max(1u, std::thread::hardware_concurrency());
}

ParallelDriver::ParallelDriver(int threads) {
  // The threads of a process take the chunks of a batch from the first
  // process themselves.
  if (threads > 1 && cluster::Size() > 1 && !cluster::ThreadsMayCallInTurn()) {
    Fatal(cluster::kClusterStatus,
          "# Error: cluster, this MPI lets only the main thread call it: give --threads 1\n");
  }
  for (int t = 0; t < threads; ++t) workers_.push_back(std::make_unique<IonWorker>());
  for (int t = 0; t + 1 < threads; ++t) {
    threads_.emplace_back([this, t] { Serve(*workers_[t]); });
  }
}

ParallelDriver::~ParallelDriver() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void ParallelDriver::Serve(IonWorker& worker) {
  uint64_t served = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return closing_ || batch_ != served; });
      if (closing_) return;
      served = batch_;
    }
    FollowIons(worker);
    std::lock_guard<std::mutex> lock(mutex_);
    if (--running_ == 0) done_.notify_one();
  }
}

void ParallelDriver::FollowIons(IonWorker& worker) {
  try {
    for (uint32_t ion = 0; TakeIon(ion);) worker.Implant(ion);
  } catch (...) {
    // The ions left are not followed; the calling thread rethrows.
    std::lock_guard<std::mutex> lock(mutex_);
    next_ = chunkLast_ + 1;
    chunksLeft_ = false;
    if (!failure_) failure_ = std::current_exception();
  }
}

bool ParallelDriver::TakeIon(uint32_t& ion) {
  std::lock_guard<std::mutex> lock(mutex_);
  while (next_ > chunkLast_) {
    if (!chunksLeft_) return false;
    // The threads of a process take a chunk one at a time.
    const uint64_t taken = taken_->FetchAdd(batchIndex_, chunk_);
    if (taken > batchLast_ - batchFirst_) {
      chunksLeft_ = false;
      return false;
    }
    next_ = batchFirst_ + static_cast<uint32_t>(taken);
    chunkLast_ =
        static_cast<uint32_t>(std::min<uint64_t>(batchLast_, next_ + uint64_t{chunk_} - 1));
  }
  ion = next_++;
  return true;
}

void ParallelDriver::StartBatch(const RunState& run, uint32_t first, uint32_t last, int index,
                                int slot) {
  for (auto& worker : workers_) worker->StartBatch(run, slot);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batchFirst_ = first;
    batchLast_ = last;
    batchIndex_ = index;
    next_ = first;
    chunkLast_ = first - 1;
    chunksLeft_ = true;
    running_ = static_cast<int>(threads_.size());
    ++batch_;
  }
  wake_.notify_all();
}

void ParallelDriver::FinishBatch(int slot) {
  FollowIons(*workers_.back());
  {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return running_ == 0; });
    if (failure_) std::rethrow_exception(failure_);
  }
  parts_[slot].clear();
  if (cluster::Size() == 1) {
    for (const auto& worker : workers_) parts_[slot].push_back(&worker->Results(slot));
    return;
  }
  // The first process receives the records of every process's followers.
  std::vector<char> own;
  for (const auto& worker : workers_) AppendBytes(worker->Results(slot), own);
  const std::size_t n = ReadBytes(cluster::GatherToFirst(own), gathered_[slot]);
  for (std::size_t p = 0; p < n; ++p) parts_[slot].push_back(&gathered_[slot][p]);
}

void ParallelDriver::ExpectCoupling() { sharing_.Start(&coupling_, sizeof coupling_); }

void ParallelDriver::SendCoupling(const RunState& run, bool goOn) {
  coupling_.GoOn = goOn;
  if (cluster::Size() == 1) return;
  coupling_ = CouplingOf(run, goOn);
  // The threads may be taking chunks: one call of MPI at a time.
  std::lock_guard<std::mutex> lock(mutex_);
  sharing_.Start(&coupling_, sizeof coupling_);
}

bool ParallelDriver::ReceiveCoupling(RunState& run) {
  sharing_.Wait();
  if (!cluster::IsFirst()) AdoptCoupling(coupling_, run);
  return coupling_.GoOn;
}

bool ParallelDriver::ApplyBatch(RunState& run, uint32_t first, uint32_t last, int slot,
                                const std::function<bool()>& closeIon) {
  const IonOrder order(parts_[slot], first, last);
  for (uint32_t ion = first; ion <= last; ++ion) {
    const IonRecords records = order.Of(ion);
    Require(records.Summary != nullptr, "every ion of the batch recorded", "parallel_driver",
            __LINE__);
    ApplyIon(run, records);
    if (!closeIon()) return false;
  }
  return true;
}

void ParallelDriver::ImplantSimulation(RunState& run, int k,
                                       const std::function<bool()>& closeIon) {
  const int ions = run.Current.NumberOfImplants;
  if (ions <= 0) return;
  // Tables missing from the table directory are made by the first process.
  cluster::FirstThenOthers([&run] { LoadSharedTables(run); });
  for (auto& worker : workers_) worker->StartSimulation(run, k);
  const bool damageCouples = run.Damage.RetainsDamage(run.Engine.Temperature);
  const uint32_t size = BatchSize(ions, damageCouples);
  const uint32_t last = static_cast<uint32_t>(ions);
  const auto lastOfBatch = [&](uint32_t first) { return std::min(last, first + size - 1); };
  const auto indexOf = [&](uint32_t first) { return static_cast<int>((first - 1) / size); };
  cluster::SharedCounters taken(indexOf(last) + 1);
  taken_ = &taken;
  chunk_ = ChunkSize(size, cluster::Size(), static_cast<int>(workers_.size()));
  // A thread's share of a batch, and some more; a process's in a job.
  const std::size_t share = size / (workers_.size() * cluster::Size()) + size / 8 + 16;
  for (auto& worker : workers_) worker->ReserveResults(share);
  StartBatch(run, 1, lastOfBatch(1), 0, 0);
  FinishBatch(0);
  int slot = 0;
  for (uint32_t first = 1; first <= last; first += size, slot = 1 - slot) {
    const uint32_t next = first + size;
    if (damageCouples) {
      // Damage that grows with the dose reaches the very next batch: the
      // ions wait while the first process applies a batch, a short while
      // against following one, so that the damage they meet lags the run
      // by at most the batch in hand.
      if (!ApplyAndShare(run, first, lastOfBatch(first), slot, closeIon)) return;
      if (next <= last) {
        StartBatch(run, next, lastOfBatch(next), indexOf(next), 1 - slot);
        FinishBatch(1 - slot);
      }
      continue;
    }
    // The next batch starts before this one is applied, by the first
    // process alone, which then sends the others what couples the ions as
    // soon as it is applied; they take it in once they are done with the
    // next batch, before the one after it, so that none waits for the
    // slowest ion of the next batch.
    if (first > 1 && !ReceiveCoupling(run)) return;
    if (!cluster::IsFirst()) ExpectCoupling();
    if (next <= last) StartBatch(run, next, lastOfBatch(next), indexOf(next), 1 - slot);
    if (cluster::IsFirst()) {
      SendCoupling(run, ApplyBatch(run, first, lastOfBatch(first), slot, closeIon));
    }
    if (next <= last) FinishBatch(1 - slot);
  }
  if (!damageCouples) ReceiveCoupling(run);
}

bool ParallelDriver::ApplyAndShare(RunState& run, uint32_t first, uint32_t last, int slot,
                                   const std::function<bool()>& closeIon) {
  if (!cluster::IsFirst()) ExpectCoupling();
  if (cluster::IsFirst()) {
    // The damage of the batch goes in before its ions, so that no ion
    // tallied lacks its damage.
    ApplyBatchDamage(run, parts_[slot]);
    SendCoupling(run, ApplyBatch(run, first, last, slot, closeIon));
  }
  return ReceiveCoupling(run);
}

}  // namespace orvane
