#include "run/batch_results.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

// Records the ion with its number as the path of its particles and the
// depth of its deposits.
void Add(BatchResults& part, uint32_t ion, uint32_t particles, uint32_t deposits) {
  IonSummary summary;
  summary.Ion = ion;
  summary.Particles = particles;
  summary.Deposits = deposits;
  part.Ions.push_back(summary);
  for (uint32_t p = 0; p < particles; ++p) {
    EndedIon ended;
    ended.PathLength = ion;
    part.Finished.push_back(ended);
  }
  for (uint32_t d = 0; d < deposits; ++d) part.Deposits.push_back(DamageDeposit{1.0 * ion});
}

}  // namespace

TEST(IonOrder, FindsTheIonsOfSeveralPartsWithTheirOwnRecords) {
  BatchResults a, b, c;  // c followed no ion
  Add(a, 11, 2, 0);
  Add(b, 12, 1, 3);
  Add(b, 13, 0, 1);
  Add(a, 14, 3, 2);
  const IonOrder order({&a, &b, &c}, 11, 15);
  for (uint32_t ion = 14; ion >= 11; --ion) {  // in any order
    const IonRecords records = order.Of(ion);
    ASSERT_NE(records.Summary, nullptr) << ion;
    EXPECT_EQ(records.Summary->Ion, ion);
    for (uint32_t p = 0; p < records.Summary->Particles; ++p) {
      EXPECT_EQ(records.Finished[p].PathLength, ion);
    }
    for (uint32_t d = 0; d < records.Summary->Deposits; ++d) {
      EXPECT_EQ(records.Deposits[d].Depth, ion);
    }
  }
  EXPECT_EQ(order.Of(15).Summary, nullptr);  // in the batch, followed by none
  EXPECT_EQ(order.Of(10).Summary, nullptr);
  EXPECT_EQ(order.Of(16).Summary, nullptr);
}

TEST(IonOrderDeathTest, AnIonTwiceOrOutsideTheBatchIsAFault) {
  BatchResults a, b;
  Add(a, 1, 1, 1);
  Add(b, 1, 1, 1);
  EXPECT_DEATH(IonOrder({&a, &b}, 1, 2), "ion recorded once");
  EXPECT_DEATH(IonOrder({&a}, 2, 3), "ion of the batch");
  a.Clear();
  EXPECT_TRUE(a.Ions.empty() && a.Finished.empty() && a.Deposits.empty());
}
