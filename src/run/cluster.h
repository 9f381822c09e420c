// The processes of one run spread over a cluster with MPI (the build option
// ORVANE_MPI), or the single process of every other build.  The run calls
// these few operations and nothing else of MPI: the first process (rank 0)
// alone writes standard output and the result files, makes the tables the
// others then read and receives the records of every batch's ions; every
// process follows its share of the ions of each batch and receives from
// the first what couples the ions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orvane {
namespace cluster {

// The status of a job that cannot run over its processes as asked.
constexpr int kClusterStatus = 608;

// Joins the job (MPI_Init) and has a fatal error on any process end the
// whole job with that process's message and status.  Without MPI, nothing.
void Start(int* argc, char*** argv);
// Leaves the job: MPI_Finalize after a run that ended with status 0; any
// other status ends the whole job with it, so that no process waits for
// one that has stopped.
void Stop(int status);

// Whether threads other than the main one may call MPI, one at a time
// (MPI_THREAD_SERIALIZED); true without MPI.
bool ThreadsMayCallInTurn();

int Rank();  // 0 .. Size() - 1; 0 without MPI
int Size();  // processes of the job; 1 without MPI
inline bool IsFirst() { return Rank() == 0; }

// Runs the step on the first process, then, once it is done there, on the
// others: what the first makes (the tables of an empty table directory),
// the others find made.
void FirstThenOthers(const std::function<void()>& step);

// Every process's bytes, concatenated in rank order, on the first process;
// nothing on the others.
std::vector<char> GatherToFirst(const std::vector<char>& mine);

// The first process's bytes at data, on every process, by the time Wait
// returns (MPI_Ibcast): the processes go on meanwhile, and data is left
// alone until then.  Every process starts its sharings, and its other
// exchanges, in the same order.
class Sharing {
 public:
  Sharing();
  ~Sharing();
  Sharing(const Sharing&) = delete;
  Sharing& operator=(const Sharing&) = delete;

  void Start(void* data, std::size_t bytes);
  // Nothing when no sharing is under way.
  void Wait();

 private:
  struct Request;
  std::unique_ptr<Request> request_;
};

// Counters that the first process holds and every process draws from as
// it comes free, without the first process taking part: one-sided atomic
// additions (MPI_Fetch_and_op), one thread of a process at a time.  Made
// and freed by every process together; within one process, or without
// MPI, plain numbers.
class SharedCounters {
 public:
  // That many counters, all 0.
  explicit SharedCounters(int count);
  ~SharedCounters();
  SharedCounters(const SharedCounters&) = delete;
  SharedCounters& operator=(const SharedCounters&) = delete;

  // Adds the amount to counter i and returns what it held before.
  uint64_t FetchAdd(int i, uint64_t amount);

 private:
  struct Window;
  std::unique_ptr<Window> window_;
};

}  // namespace cluster
}  // namespace orvane
