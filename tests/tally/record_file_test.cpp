#include "tally/record_file.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/test_support.h"

using namespace orvane;

namespace {

struct Entry {
  double Value;
  uint32_t Index;
};

// Enough records to send several chunks to the file and keep some in memory.
constexpr uint64_t kMany = 3 * RecordFile<Entry>::kChunk + 5;

void Fill(RecordFile<Entry>& records, uint64_t count) {
  for (uint64_t i = 0; i < count; ++i) records.Add(Entry{0.5 * i, static_cast<uint32_t>(i)});
}

}  // namespace

TEST(RecordFile, WalksBackEveryRecordInOrderAfterMostWentToTheFile) {
  RecordFile<Entry> records;
  Fill(records, kMany);
  ASSERT_EQ(records.Size(), kMany);
  uint64_t i = 0;
  for (const Entry& entry : records) {
    ASSERT_EQ(entry.Index, i);
    ASSERT_EQ(entry.Value, 0.5 * i);
    ++i;
  }
  EXPECT_EQ(i, kMany);
  // A second walk, and records added after a walk, read the same.
  records.Add(Entry{-1.0, 99});
  EXPECT_EQ(records.At(kMany).Index, 99u);
  EXPECT_EQ(records.At(kMany - 1).Index, kMany - 1);
  EXPECT_EQ(records.At(1).Index, 1u);
}

TEST(RecordFile, ClearedRecordsStartAfresh) {
  RecordFile<Entry> records;
  Fill(records, kMany);
  records.Clear();
  EXPECT_TRUE(records.Empty());
  EXPECT_TRUE(records.begin() == records.end());
  Fill(records, 2 * RecordFile<Entry>::kChunk + 1);
  EXPECT_EQ(records.At(2 * RecordFile<Entry>::kChunk).Index, 2 * RecordFile<Entry>::kChunk);
  EXPECT_EQ(records.At(3).Value, 1.5);
}

// Two walks at once (a record compared with a record of another chunk)
// each read the right records.
TEST(RecordFile, InterleavedWalksReadTheRightRecords) {
  RecordFile<Entry> records;
  Fill(records, kMany);
  const uint64_t half = kMany / 2;
  for (uint64_t i = 0; i < half; i += 997) {
    EXPECT_EQ(records.At(i).Index + half, records.At(i + half).Index);
  }
}

TEST(RecordFileDeathTest, ATemporaryDirectoryThatCannotTakeTheRecordsEndsTheRunWithStatus301) {
  // As on a full disk: the chunks sent to the file cannot be written whole.
  const auto fillPastTheLimit = [] {
    orvane_test::LimitFileSizeAsOnAFullDisk(1000);
    RecordFile<Entry> records;
    Fill(records, kMany);
  };
  EXPECT_EXIT(fillPastTheLimit(), testing::ExitedWithCode(301 & 0xFF),
              "the tally can't write its records in the temporary directory");
}
