// Runs with "--threads": every result file and standard output are the same
// whatever the number of threads, for dose pieces with damage and for
// rare-event splitting through two layers; a bad thread count is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/ion_statistics.h"
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

// Boron along the <100> channel through a thin amorphous cap: beneath it a
// polycrystal meets every ion with a grain of its own orientation, which
// seldom lets it channel, in the parallel run as in the single-stream one;
// a single crystal lets it channel.
TEST(ParallelRun, APolycrystalUnderACapMeetsGrainsOfRandomOrientation) {
  const auto parameters = [](int kind) {
    return "Atom B 5 11.009 519 Atom Si 14 28.086 519\n"
           "Amorphous 2 XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 XMin 0 XMax 10 NextLayer\n"
           "Amorphous " + std::to_string(kind) +
           " XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 XMin 10 XMax 1e7 NextLayer\n"
           "ENERGY 5000 Tha 0 NumberOfImplants 300\n";
  };
  TempDir tables;
  const auto run = [&tables](const TempDir& dir, const std::string& text,
                             const std::string& options) {
    WriteFile(dir.File("p.in"), text);
    const RunResult r = RunOrvane(dir.Path(), options + "p.in", TablesEnvironment(tables));
    EXPECT_EQ(r.status, 0) << r.err;
    return r;
  };
  TempDir single, two, three, crystal;
  const RunResult s = run(single, parameters(1), "");
  const RunResult t = run(two, parameters(1), "--threads 2 ");
  const RunResult c = run(crystal, parameters(0), "--threads 2 ");
  const RunResult r3 = run(three, parameters(1), "--threads 3 ");
  ExpectSameResults(Results(two, t), Results(three, r3), "3 threads");
  const Estimate polySingle = MeanDepth(Implanted(FinalIons(s.out)));
  const Estimate polyThreads = MeanDepth(Implanted(FinalIons(t.out)));
  const Estimate crystalThreads = MeanDepth(Implanted(FinalIons(c.out)));
  EXPECT_TRUE(Agree(polyThreads, polySingle, 4.0))
      << Describe(polyThreads) << " against " << Describe(polySingle);
  EXPECT_FALSE(Agree(polyThreads, crystalThreads, 4.0))
      << Describe(polyThreads) << " against " << Describe(crystalThreads);
  EXPECT_LT(polyThreads.value, crystalThreads.value);
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
