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

TEST(IonOrder, TakesTheIonsOfSeveralPartsInIonOrderWithTheirOwnRecords) {
  BatchResults a, b, c;  // c followed no ion
  Add(a, 1, 2, 0);
  Add(b, 2, 1, 3);
  Add(b, 3, 0, 1);
  Add(a, 4, 3, 2);
  IonOrder order({&a, &b, &c});
  for (uint32_t ion = 1; ion <= 4; ++ion) {
    const IonRecords records = order.Take(ion);
    ASSERT_NE(records.Summary, nullptr) << ion;
    EXPECT_EQ(records.Summary->Ion, ion);
    for (uint32_t p = 0; p < records.Summary->Particles; ++p) {
      EXPECT_EQ(records.Finished[p].PathLength, ion);
    }
    for (uint32_t d = 0; d < records.Summary->Deposits; ++d) {
      EXPECT_EQ(records.Deposits[d].Depth, ion);
    }
  }
  EXPECT_EQ(order.Take(5).Summary, nullptr);
}

TEST(IonOrder, AnIonThatIsNotNextInAnyPartIsNotFound) {
  BatchResults a;
  Add(a, 1, 1, 1);
  Add(a, 2, 1, 1);
  IonOrder order({&a});
  EXPECT_EQ(order.Take(2).Summary, nullptr);
  EXPECT_NE(order.Take(1).Summary, nullptr);
  a.Clear();
  EXPECT_TRUE(a.Ions.empty() && a.Finished.empty() && a.Deposits.empty());
}
