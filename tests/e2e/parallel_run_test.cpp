// Runs with "--threads": every result file and standard output are the same
// whatever the number of threads, for dose pieces with damage and for
// rare-event splitting through two layers; a bad thread count is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/test_support.h"

using namespace orvane_test;

namespace {

// The console without its wall-clock figures, which vary from run to run.
std::string WithoutWallTime(const std::string& out) {
  std::istringstream is(out);
  std::string kept;
  for (std::string line; std::getline(is, line);) {
    if (line.find("Wall time") == std::string::npos) kept += line + "\n";
  }
  return kept;
}

// The first line in which the texts differ, with its number.
std::string FirstDifference(const std::string& a, const std::string& b) {
  std::istringstream as(a), bs(b);
  std::string lineA, lineB;
  for (int number = 1;; ++number) {
    const bool moreA = static_cast<bool>(std::getline(as, lineA));
    const bool moreB = static_cast<bool>(std::getline(bs, lineB));
    if (!moreA && !moreB) return "same lines";
    if (lineA != lineB || moreA != moreB) {
      return "line " + std::to_string(number) + ": '" + lineA + "' against '" + lineB + "'";
    }
  }
}

// Every file that a run leaves beside its tables, by its path in the run
// directory, and the console as "<stdout>".
std::map<std::string, std::string> Results(const TempDir& dir, const RunResult& run) {
  std::map<std::string, std::string> files{{"<stdout>", WithoutWallTime(run.out)}};
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path())) {
    const std::string path = std::filesystem::relative(entry.path(), dir.Path()).string();
    if (entry.is_regular_file()) files[path] = ReadFile(entry.path().string());
  }
  return files;
}

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
    ASSERT_EQ(files.size(), first.size()) << threads << " threads";
    for (const auto& [path, text] : first) {
      ASSERT_GT(files.count(path), 0u) << path << " missing with " << threads << " threads";
      EXPECT_TRUE(files.at(path) == text) << path << " differs with " << threads << " threads, "
                                          << FirstDifference(text, files.at(path));
    }
  }
}

}  // namespace

TEST(ParallelRun, DosePiecesWithDamageGiveTheSameFilesForAnyThreads) {
  // Three batches per piece; the damage of each batch acts on the next and
  // on the second piece, and recoils are followed.
  ExpectSameResultsForAnyThreads(
      "Atom B 5 11.009 519 Atom Si 14 28.086 519\n"
      "XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 NextLayer\n"
      "AmorphizationDensity 4.99e21 DisplacementEnergy 15 DoseRate 1e11 CteD 1\n"
      "LevelOfSimulation 2 ENERGY 3000 Tha 7 Dose 1e15 DoseSplitting On\n"
      "NumberOfImplants 70 PearsonIV On\n");
}

TEST(ParallelRun, RareEventsThroughTwoLayersGiveTheSameFilesForAnyThreads) {
  // Split depths placed every 10 ions, so within and across batches; an
  // amorphous oxide over crystalline silicon, so that ions start in either.
  ExpectSameResultsForAnyThreads(
      "Atom B 5 11.009 519 Atom Si 14 28.086 519 Atom O 8 15.999 0\n"
      "Amorphous 2 LatticeParameter 7.16 7.16 7.16\n"
      "XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15\n"
      "XTal 3 6 0.125 0.125 0.125 20 XTal 3 6 0.875 0.875 0.125 20\n"
      "XTal 3 6 0.875 0.125 0.875 20 XTal 3 6 0.125 0.875 0.875 20\n"
      "XMin 0 XMax 50 NextLayer\n"
      "Amorphous 0 XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 XMin 50 XMax 1e7 NextLayer\n"
      "RS0 1.7 1.85 0.0 ENERGY 5000 Tha 7 Dose 1e14 NumberOfImplants 70\n"
      "RareEvent 2 REThreshold 0 REInterval 10 ASCII On\n");
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
