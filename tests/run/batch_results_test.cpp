#include "run/batch_results.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

// Records the ion with its number as the path of its particles.
void Add(BatchResults& part, uint32_t ion, uint32_t particles) {
  IonSummary summary;
  summary.Ion = ion;
  summary.Particles = particles;
  part.Ions.push_back(summary);
  for (uint32_t p = 0; p < particles; ++p) {
    EndedIon ended;
    ended.PathLength = ion;
    part.Finished.push_back(ended);
  }
}

}  // namespace

TEST(IonOrder, FindsTheIonsOfSeveralPartsWithTheirOwnRecords) {
  BatchResults a, b, c;  // c followed no ion
  Add(a, 11, 2);
  Add(b, 12, 1);
  Add(b, 13, 0);
  Add(a, 14, 3);
  const IonOrder order({&a, &b, &c}, 11, 15);
  for (uint32_t ion = 14; ion >= 11; --ion) {  // in any order
    const IonRecords records = order.Of(ion);
    ASSERT_NE(records.Summary, nullptr) << ion;
    EXPECT_EQ(records.Summary->Ion, ion);
    for (uint32_t p = 0; p < records.Summary->Particles; ++p) {
      EXPECT_EQ(records.Finished[p].PathLength, ion);
    }
  }
  EXPECT_EQ(order.Of(15).Summary, nullptr);  // in the batch, followed by none
  EXPECT_EQ(order.Of(10).Summary, nullptr);
  EXPECT_EQ(order.Of(16).Summary, nullptr);
}

TEST(IonOrderDeathTest, AnIonTwiceOrOutsideTheBatchIsAFault) {
  BatchResults a, b;
  Add(a, 1, 1);
  Add(b, 1, 1);
  EXPECT_DEATH(IonOrder({&a, &b}, 1, 2), "ion recorded once");
  EXPECT_DEATH(IonOrder({&a}, 2, 3), "ion of the batch");
  a.Clear();
  EXPECT_TRUE(a.Ions.empty() && a.Finished.empty());
}

// What a process sends of its threads' results arrives as they were, the
// retained damage of each part with it.
TEST(BatchResults, BytesGiveBackEveryPartWhole) {
  BatchResults a, b;
  Add(a, 3, 2);
  Add(a, 5, 0);
  Add(b, 4, 1);
  a.Retained.Reset(0.5f, 1.0);
  a.Retained.Add(20.0, 2.0);
  b.Retained.Reset(0.5f, 1.0);
  b.Retained.Add(70.0, 1.0);  // beyond the 100 cells: twice as wide
  std::vector<char> bytes;
  AppendBytes(a, bytes);
  AppendBytes(b, bytes);
  std::vector<BatchResults> parts(3);  // more than arrive: the extra one stays
  ASSERT_EQ(ReadBytes(bytes, parts), 2u);
  ASSERT_EQ(parts[0].Ions.size(), 2u);
  EXPECT_EQ(parts[0].Ions[1].Ion, 5u);
  ASSERT_EQ(parts[0].Finished.size(), 2u);
  EXPECT_EQ(parts[0].Finished[1].PathLength, 3.0);
  EXPECT_EQ(parts[0].Retained.Counts[40], a.Retained.Counts[40]);
  EXPECT_EQ(parts[1].Retained.Level, 1);
  EXPECT_EQ(parts[1].Retained.Counts[70], b.Retained.Counts[70]);
  EXPECT_GT(parts[1].Retained.Counts[70], 0);
}
