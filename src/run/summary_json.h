// "summary.json": the run as data.  The run's version, command line,
// threads, processes and seeds, the layers of the target and, for every
// simulation, its inputs and, for every tracked species, the figures of its
// summary block with their units and the names of its result files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

struct JoinedContext;
struct RunState;
struct SummaryLine;

// The name of the file in the output directory.
extern const char kSummaryJsonName[];

// How the run was started.
struct RunInvocation {
  std::vector<std::string> Arguments;  // the command line, program name first
  std::string ParameterFile;
  int Threads = -1;     // as given to "--threads"; -1 without it
  int ThreadsUsed = 1;  // the threads that follow the ions
  int Processes = 1;    // of the cluster job
};

class RunRecord {
 public:
  RunRecord();
  ~RunRecord();
  RunRecord(const RunRecord&) = delete;
  RunRecord& operator=(const RunRecord&) = delete;

  void Start(const RunInvocation& invocation);

  // Records simulation k of the state after the given number of its ions,
  // with the wall time its summary gives: its inputs and the figures of
  // every tracked species, from the computed histograms.
  void AddSimulation(RunState& state, int k, uint32_t ions, double seconds);

  // Records the summary block of the whole dose of a group of dose pieces
  // (its number, 1-based) for one species.
  void AddWholeDose(const JoinedContext& context, int group, const std::vector<SummaryLine>& lines);

  // Writes "summary.json" into the output directory: the status the run
  // ends with (0, or 128 plus the interrupting signal) and every simulation
  // recorded.  A failure to write is said on standard error.
  void Write(RunState& state, int status) const;

 private:
  struct Data;
  std::unique_ptr<Data> data_;
};

}  // namespace orvane
