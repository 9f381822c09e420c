#include "run/parallel_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/command_line.h"

using namespace orvane;

TEST(ParallelDriver, BatchesAreAHundredthOfTheIonsWithinBounds) {
  for (bool damageCouples : {false, true}) {
    EXPECT_EQ(BatchSize(0, damageCouples), 32u);
    EXPECT_EQ(BatchSize(10, damageCouples), 32u);
    EXPECT_EQ(BatchSize(3200, damageCouples), 32u);
    EXPECT_EQ(BatchSize(3201, damageCouples), 33u);
    EXPECT_EQ(BatchSize(50000, damageCouples), 500u);
  }
  // Batches whose damage couples the ions are bounded more tightly.
  EXPECT_EQ(BatchSize(1000000, false), 10000u);
  EXPECT_EQ(BatchSize(1000100, false), 10000u);
  EXPECT_EQ(BatchSize(2147483647, false), 10000u);
  EXPECT_EQ(BatchSize(1000000, true), 1024u);
  EXPECT_EQ(BatchSize(2147483647, true), 1024u);
}

TEST(ParallelDriver, AProcessTakesChunksForItsThreadsAndAbout32OfABatch) {
  EXPECT_EQ(ChunkSize(10000, 1, 2), 312u);
  EXPECT_EQ(ChunkSize(10000, 3, 1), 104u);
  EXPECT_EQ(ChunkSize(10000, 1024, 1), 1u);
  EXPECT_EQ(ChunkSize(10000, 1024, 4), 4u);
  EXPECT_EQ(ChunkSize(32, 2, 0), 1u);
}

TEST(ParallelDriver, ZeroThreadsMeansOnePerCore) {
  EXPECT_GE(ThreadCount(0), 1);
  EXPECT_EQ(ThreadCount(3), 3);
}

namespace {

CommandLine Read(std::vector<std::string> words) {
  static std::vector<std::string> kept;
  kept = std::move(words);
  std::vector<char*> argv;
  for (std::string& word : kept) argv.push_back(word.data());
  return ReadCommandLine(static_cast<int>(argv.size()), argv.data());
}

std::vector<std::string> Words(const CommandLine& line) {
  std::vector<std::string> words;
  for (char* argument : line.Arguments) {
    if (argument != nullptr) words.emplace_back(argument);
  }
  return words;
}

}  // namespace

TEST(CommandLine, OptionsBeforeOrAfterTheFileAreTakenOutOfTheArguments) {
  const CommandLine parallel = Read({"orvane", "--threads", "4", "run.in", "2"});
  EXPECT_EQ(parallel.Threads, 4);
  EXPECT_FALSE(parallel.Strict);
  EXPECT_EQ(Words(parallel), (std::vector<std::string>{"orvane", "run.in", "2"}));
  EXPECT_EQ(parallel.Arguments.back(), nullptr);
  EXPECT_EQ(Read({"orvane", "--threads", "0", "run.in"}).Threads, 0);
  EXPECT_EQ(Read({"orvane", "run.in"}).Threads, kOneStream);

  // After the file the options are obeyed too, never passed on as a mode.
  const CommandLine after = Read({"orvane", "run.in", "--threads", "2", "--strict"});
  EXPECT_EQ(after.Threads, 2);
  EXPECT_TRUE(after.Strict);
  EXPECT_EQ(Words(after), (std::vector<std::string>{"orvane", "run.in"}));
  const CommandLine between =
      Read({"orvane", "--strict", "run.in", "--quiet", "--threads", "3", "1"});
  EXPECT_EQ(between.Threads, 3);
  EXPECT_TRUE(between.Quiet);
  EXPECT_FALSE(after.Quiet);
  EXPECT_EQ(Words(between), (std::vector<std::string>{"orvane", "run.in", "1"}));
}

TEST(CommandLineDeathTest, OptionsThatCannotBeObeyedEndTheRun) {
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{"orvane", "run.in", "--threads"}, "--threads needs a whole number"},
      {{"orvane", "run.in", "--thread", "2"}, "unknown option '--thread'"},
      {{"orvane", "--strcit", "run.in"}, "unknown option '--strcit'"},
      {{"orvane", "run.in", "--help"}, "--help answers alone"},
      {{"orvane", "--strict", "run.in", "--strict"}, "--strict is given twice"},
      {{"orvane", "--quiet", "run.in", "--quiet"}, "--quiet is given twice"},
      {{"orvane", "--threads", "1", "run.in", "--threads", "2"}, "--threads is given twice"},
      {{"orvane", "run.in", "0", "extra"}, "one argument too many, 'extra'"},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(Read(c.arguments), testing::ExitedWithCode(kBadThreadsStatus & 0xFF), c.message)
        << c.message;
  }
}

TEST(CommandLineDeathTest, ThreadsWithoutAWholeNumberEndTheRun) {
  for (const char* value : {"-2", "x", "3.5", "99999999999999999999"}) {
    EXPECT_EXIT(Read({"orvane", "--threads", value, "run.in"}),
                testing::ExitedWithCode(kBadThreadsStatus & 0xFF),
                "--threads needs a whole number");
  }
}
