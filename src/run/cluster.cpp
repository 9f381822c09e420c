#include "run/cluster.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "core/fatal.h"

#ifdef ORVANE_WITH_MPI
#include <mpi.h>
#endif

namespace orvane {
namespace cluster {

#ifdef ORVANE_WITH_MPI

namespace {

bool started = false;

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
  MPI_Init(argc, argv);
  started = true;
  SetFatalEnd(AbortJob);
}

void Stop(int status) {
  if (!started) return;
  if (status != 0) MPI_Abort(MPI_COMM_WORLD, status);
  MPI_Finalize();
  started = false;
}

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
  const int processes = Size();
  const int own = Count(mine.size());
  std::vector<int> counts(processes), offsets(processes);
  MPI_Gather(&own, 1, MPI_INT, counts.data(), 1, MPI_INT, 0, MPI_COMM_WORLD);
  std::size_t total = 0;
  for (int r = 0; r < processes; ++r) {
    offsets[r] = Count(total);
    total += static_cast<std::size_t>(counts[r]);
  }
  Count(total);
  std::vector<char> all(IsFirst() ? total : 0);
  MPI_Gatherv(mine.data(), own, MPI_BYTE, all.data(), counts.data(), offsets.data(), MPI_BYTE, 0,
              MPI_COMM_WORLD);
  return all;
}

void ShareFromFirst(void* data, std::size_t bytes) {
  if (!started || Size() == 1) return;
  MPI_Bcast(data, Count(bytes), MPI_BYTE, 0, MPI_COMM_WORLD);
}

#else

void Start(int*, char***) {}
void Stop(int) {}
int Rank() { return 0; }
int Size() { return 1; }
void FirstThenOthers(const std::function<void()>& step) { step(); }
std::vector<char> GatherToFirst(const std::vector<char>& mine) { return mine; }
void ShareFromFirst(void*, std::size_t) {}

#endif

}  // namespace cluster
}  // namespace orvane
