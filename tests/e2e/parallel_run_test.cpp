// Runs with "--threads": every result file and standard output are the same
// whatever the number of threads, for dose pieces with damage and for
// rare-event splitting through two layers; a bad thread count is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/run_comparison.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

// Runs the parameters with 1, 2, 3 and 8 threads and expects the same files.
// Two runs before them generate the tables that the prepared ones lack and
// convert them to binary, which the console reports.
void ExpectSameResultsForAnyThreads(const std::string& parameters) {
  TempDir tables;
  std::map<std::string, std::string> first;
  for (int threads : {0, 0, 1, 2, 3, 8}) {
    TempDir dir;
    WriteFile(dir.File("p.in"), parameters);
    const RunResult run = RunOrvane(dir.Path(), "--threads " + std::to_string(threads) + " p.in",
                                    TablesEnvironment(tables));
    ASSERT_EQ(run.status, 0) << run.err;
    if (threads == 0) continue;
    const std::map<std::string, std::string> files = Results(dir, run);
    if (threads == 1) {
      first = files;
      ASSERT_GT(first.count("Dp.in/Histo1D.01_01"), 0u);
      continue;
    }
    ExpectSameResults(first, files, std::to_string(threads) + " threads");
  }
}

}  // namespace

TEST(ParallelRun, DosePiecesWithDamageGiveTheSameFilesForAnyThreads) {
  // Three batches per piece; the damage of each batch acts on the next and
  // on the second piece, and recoils are followed.
  ExpectSameResultsForAnyThreads(kDosePiecesWithDamage);
}

TEST(ParallelRun, RareEventsThroughTwoLayersGiveTheSameFilesForAnyThreads) {
  // Split depths placed every 10 ions, so within and across batches; an
  // amorphous oxide over crystalline silicon, so that ions start in either.
  ExpectSameResultsForAnyThreads(kRareEventsThroughTwoLayers);
}

TEST(ParallelRun, SampledPartnersGiveTheSameFilesForAnyThreads) {
  // Each ion draws its partners from its own streams.
  ExpectSameResultsForAnyThreads(kSampledPartnersWithDamage);
}

TEST(ParallelRun, ABadThreadCountIsRefused) {
  TempDir dir;
  WriteFile(dir.File("p.in"), "NumberOfImplants 1\n");
  for (const char* value : {"-1", "two", "2x", "1025", ""}) {
    const RunResult run = RunOrvane(dir.Path(), std::string("--threads '") + value + "' p.in",
                                    TablesEnvironment(dir));
    EXPECT_EQ(run.status, 607 & 0xFF) << value;
    EXPECT_EQ(run.err, std::string("# Error: --threads needs a whole number from 0 (one thread per "
                                   "core) to 1024, not '") +
                           value + "'\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Dp.in"))) << value;
  }
  const RunResult missing = RunOrvane(dir.Path(), "--threads", TablesEnvironment(dir));
  EXPECT_EQ(missing.status, 607 & 0xFF);
}
