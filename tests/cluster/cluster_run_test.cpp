// Runs spread over the processes of an MPI job: every result file and
// standard output are those of the one-process run with threads, for any
// number of processes; a failing process ends the job with the program's
// message and status; a job without --threads is refused.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/run_comparison.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

// mpirun for the processes, allowed to start more of them than there are
// cores and to run as root (as CI does).
std::string Launcher(int processes) {
  return "OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 timeout 300 '" ORVANE_MPIEXEC
         "' --oversubscribe -np " + std::to_string(processes);
}

// The one-process run with two threads, then jobs of 1, 2 and 3 processes
// with one or two threads each: the same files.  Two runs before them
// generate the tables that the prepared ones lack and convert them to
// binary, which the console reports.
void ExpectSameResultsForAnyProcesses(const std::string& parameters) {
  TempDir tables;
  for (int warmUp = 0; warmUp < 2; ++warmUp) {
    TempDir dir;
    WriteFile(dir.File("p.in"), parameters);
    ASSERT_EQ(RunOrvane(dir.Path(), "--threads 2 p.in", TablesEnvironment(tables)).status, 0);
  }
  TempDir reference;
  WriteFile(reference.File("p.in"), parameters);
  const RunResult one = RunOrvane(reference.Path(), "--threads 2 p.in", TablesEnvironment(tables));
  ASSERT_EQ(one.status, 0) << one.err;
  const std::map<std::string, std::string> expected = Results(reference, one);
  for (const auto& [processes, threads] : {std::pair{1, 2}, {2, 1}, {2, 2}, {3, 1}}) {
    TempDir dir;
    WriteFile(dir.File("p.in"), parameters);
    const RunResult job = RunLaunched(dir.Path(), Launcher(processes),
                                      "--threads " + std::to_string(threads) + " p.in",
                                      TablesEnvironment(tables));
    ASSERT_EQ(job.status, 0) << job.err;
    ExpectSameResults(expected, Results(dir, job),
                      std::to_string(processes) + " processes of " + std::to_string(threads) +
                          " threads");
  }
}

}  // namespace

TEST(ClusterRun, DosePiecesWithDamageGiveTheSameFilesForAnyProcesses) {
  ExpectSameResultsForAnyProcesses(kDosePiecesWithDamage);
}

TEST(ClusterRun, RareEventsThroughTwoLayersGiveTheSameFilesForAnyProcesses) {
  ExpectSameResultsForAnyProcesses(kRareEventsThroughTwoLayers);
}

TEST(ClusterRun, SampledPartnersGiveTheSameFilesForAnyProcesses) {
  ExpectSameResultsForAnyProcesses(kSampledPartnersWithDamage);
}

TEST(ClusterRun, AFailingProcessEndsTheJobWithTheProgramsMessageAndStatus) {
  TempDir dir;
  // A value whose physics is undefined: every process stops on it.
  WriteFile(dir.File("bad.in"), "ENERGY -5 NumberOfImplants 3\n");
  const RunResult single = RunOrvane(dir.Path(), "--threads 1 bad.in", TablesEnvironment(dir));
  const RunResult job =
      RunLaunched(dir.Path(), Launcher(3), "--threads 1 bad.in", TablesEnvironment(dir));
  EXPECT_EQ(single.status, 606 % 256);
  EXPECT_EQ(job.status, single.status);
  EXPECT_NE(job.err.find("ENERGY"), std::string::npos) << job.err;

  // A parameter file that no process can open.
  const RunResult missing =
      RunLaunched(dir.Path(), Launcher(2), "--threads 1 none.in", TablesEnvironment(dir));
  EXPECT_EQ(missing.status, RunOrvane(dir.Path(), "none.in").status);
  EXPECT_NE(missing.err.find("none.in"), std::string::npos) << missing.err;
}

TEST(ClusterRun, SeveralProcessesWithoutThreadsAreRefused) {
  TempDir dir;
  WriteFile(dir.File("p.in"), "NumberOfImplants 1\n");
  const RunResult job = RunLaunched(dir.Path(), Launcher(2), "p.in", TablesEnvironment(dir));
  EXPECT_EQ(job.status, 608 % 256);
  EXPECT_NE(job.err.find("--threads"), std::string::npos) << job.err;
}
