#include "run/cluster.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include "core/fatal.h"

#ifdef ORVANE_WITH_MPI
#include <mpi.h>
#endif

namespace orvane {
namespace cluster {

namespace {

// Adds the amount to a counter held by this process; returns what it held.
uint64_t AddToOwn(std::vector<uint64_t>& counters, int i, uint64_t amount) {
  const uint64_t before = counters[static_cast<std::size_t>(i)];
  counters[static_cast<std::size_t>(i)] = before + amount;
  return before;
}

}  // namespace

#ifdef ORVANE_WITH_MPI

namespace {

bool started = false;
bool threadsMayCall = false;

// A fatal error of one process ends every process of the job, with the
// message and status of the one that failed.
void AbortJob(int status, const std::string& message) {
  std::fflush(nullptr);  // the result files' buffered lines, as the ordinary end writes them
  std::cout.flush();
  std::cerr << message;
  std::cerr.flush();
  MPI_Abort(MPI_COMM_WORLD, status);
}

int Count(std::size_t bytes) {
  if (bytes > static_cast<std::size_t>(2147483647)) {
    Fatal(302, "# Error: cluster, the records of one batch exceed 2 GB\n");
  }
  return static_cast<int>(bytes);
}

}  // namespace

void Start(int* argc, char*** argv) {
  int provided = MPI_THREAD_SINGLE;
  MPI_Init_thread(argc, argv, MPI_THREAD_SERIALIZED, &provided);
  threadsMayCall = provided >= MPI_THREAD_SERIALIZED;
  started = true;
  SetFatalEnd(AbortJob);
}

void Stop(int status) {
  if (!started) return;
  if (status != 0) MPI_Abort(MPI_COMM_WORLD, status);
  MPI_Finalize();
  started = false;
}

bool ThreadsMayCallInTurn() { return !started || threadsMayCall; }

int Rank() {
  int rank = 0;
  if (started) MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  return rank;
}

int Size() {
  int size = 1;
  if (started) MPI_Comm_size(MPI_COMM_WORLD, &size);
  return size;
}

void FirstThenOthers(const std::function<void()>& step) {
  if (IsFirst()) step();
  if (started) MPI_Barrier(MPI_COMM_WORLD);
  if (!IsFirst()) step();
}

std::vector<char> GatherToFirst(const std::vector<char>& mine) {
  if (!started || Size() == 1) return mine;
  // Messages rather than a gather, whose tree would have a process wait
  // for others to end before it sends: a process sends and goes on.
  constexpr int kRecordsTag = 28;
  if (!IsFirst()) {
    MPI_Send(mine.data(), Count(mine.size()), MPI_BYTE, 0, kRecordsTag, MPI_COMM_WORLD);
    return {};
  }
  std::vector<char> all(mine);
  for (int rank = 1; rank < Size(); ++rank) {
    MPI_Status status;
    MPI_Probe(rank, kRecordsTag, MPI_COMM_WORLD, &status);
    int bytes = 0;
    MPI_Get_count(&status, MPI_BYTE, &bytes);
    const std::size_t at = all.size();
    all.resize(at + static_cast<std::size_t>(bytes));
    Count(all.size());
    MPI_Recv(all.data() + at, bytes, MPI_BYTE, rank, kRecordsTag, MPI_COMM_WORLD,
             MPI_STATUS_IGNORE);
  }
  return all;
}

struct Sharing::Request {
  MPI_Request Handle = MPI_REQUEST_NULL;
};

Sharing::Sharing() : request_(std::make_unique<Request>()) {}
Sharing::~Sharing() = default;

void Sharing::Start(void* data, std::size_t bytes) {
  if (!started || Size() == 1) return;
  MPI_Ibcast(data, Count(bytes), MPI_BYTE, 0, MPI_COMM_WORLD, &request_->Handle);
}

void Sharing::Wait() {
  if (request_->Handle != MPI_REQUEST_NULL) MPI_Wait(&request_->Handle, MPI_STATUS_IGNORE);
}

struct SharedCounters::Window {
  std::vector<uint64_t> Local;  // within one process
  MPI_Win Win = MPI_WIN_NULL;
  uint64_t* Base = nullptr;
};

SharedCounters::SharedCounters(int count) : window_(std::make_unique<Window>()) {
  if (!started || Size() == 1) {
    window_->Local.assign(static_cast<std::size_t>(count), 0);
    return;
  }
  const MPI_Aint bytes = IsFirst() ? static_cast<MPI_Aint>(count * sizeof(uint64_t)) : 0;
  MPI_Win_allocate(bytes, sizeof(uint64_t), MPI_INFO_NULL, MPI_COMM_WORLD, &window_->Base,
                   &window_->Win);
  if (IsFirst()) {
    MPI_Win_lock(MPI_LOCK_EXCLUSIVE, 0, 0, window_->Win);
    std::fill(window_->Base, window_->Base + count, 0);
    MPI_Win_unlock(0, window_->Win);
  }
  MPI_Barrier(MPI_COMM_WORLD);
  MPI_Win_lock_all(0, window_->Win);
}

SharedCounters::~SharedCounters() {
  if (window_->Win == MPI_WIN_NULL) return;
  MPI_Win_unlock_all(window_->Win);
  MPI_Win_free(&window_->Win);
}

uint64_t SharedCounters::FetchAdd(int i, uint64_t amount) {
  if (window_->Win == MPI_WIN_NULL) {
    return AddToOwn(window_->Local, i, amount);
  }
  uint64_t before = 0;
  MPI_Fetch_and_op(&amount, &before, MPI_UINT64_T, 0, i, MPI_SUM, window_->Win);
  MPI_Win_flush(0, window_->Win);
  return before;
}

#else

void Start(int*, char***) {}
void Stop(int) {}
bool ThreadsMayCallInTurn() { return true; }
int Rank() { return 0; }
int Size() { return 1; }
void FirstThenOthers(const std::function<void()>& step) { step(); }
std::vector<char> GatherToFirst(const std::vector<char>& mine) { return mine; }
struct Sharing::Request {};
Sharing::Sharing() = default;
Sharing::~Sharing() = default;
void Sharing::Start(void*, std::size_t) {}
void Sharing::Wait() {}

struct SharedCounters::Window {
  std::vector<uint64_t> Local;
};

SharedCounters::SharedCounters(int count) : window_(std::make_unique<Window>()) {
  window_->Local.assign(static_cast<std::size_t>(count), 0);
}

SharedCounters::~SharedCounters() = default;

uint64_t SharedCounters::FetchAdd(int i, uint64_t amount) {
  return AddToOwn(window_->Local, i, amount);
}

#endif

}  // namespace cluster
}  // namespace orvane
