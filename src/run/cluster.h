// The processes of one run spread over a cluster with MPI (the build option
// ORVANE_MPI), or the single process of every other build.  The run calls
// these few operations and nothing else of MPI: the first process (rank 0)
// alone writes standard output and the result files, makes the tables the
// others then read and receives the records of every batch's ions; every
// process follows its share of the ions of each batch and receives from
// the first what couples the ions.
#pragma once

#include <cstddef>
#include <functional>
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

// The first process's bytes at data, on every process.
void ShareFromFirst(void* data, std::size_t bytes);

}  // namespace cluster
}  // namespace orvane
