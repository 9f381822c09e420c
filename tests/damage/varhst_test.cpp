#include "damage/varhst.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {
double Integral(const VarHist& h) {
  double sum = 0.0;
  for (float cell : h.Cells) sum += cell;
  return sum * h.Width;
}
}  // namespace

TEST(VarHist, RebinAveragesOverTheNewCellsAndKeepsTheIntegral) {
  VarHist h;
  h.SetRange(0.0f, 100.0f);  // width 1
  for (int i = 0; i < VarHist::kCells; ++i) h.Cells[i] = static_cast<float>(i % 7);
  const double before = Integral(h);
  ASSERT_EQ(h.Rebin(0.0f, 250.0f), 1);  // width 2.5: cell 0 spans old 0, 1 and half of 2
  EXPECT_FLOAT_EQ(h.Width, 2.5f);
  EXPECT_FLOAT_EQ(h.Stop, 250.0f);
  EXPECT_FLOAT_EQ(h.Cells[0], (0 + 1 + 0.5f * 2) / 2.5f);
  EXPECT_FLOAT_EQ(h.Cells[1], (0.5f * 2 + 3 + 4) / 2.5f);
  EXPECT_EQ(h.Cells[40], 0.0f);  // beyond the old cells
  EXPECT_NEAR(Integral(h), before, 1e-4 * before);
}

TEST(VarHist, CellsNeverNarrow) {
  VarHist h;
  h.Cells[3] = 2.0f;
  EXPECT_EQ(h.Rebin(0.0f, 10.0f), 0);
  EXPECT_EQ(h.Rebin(0.0f, 5.0f), 0);
  EXPECT_FLOAT_EQ(h.Width, 0.1f);
  EXPECT_EQ(h.Cells[3], 2.0f);
}

TEST(VarHistDeathTest, WidthsMustBePositive) {
  VarHist h;
  EXPECT_DEATH(h.Rebin(5.0f, 5.0f), "nAncho>0, unit varhst, line 78");
  EXPECT_DEATH(h.SetRange(0.0f, -1.0f), "mAncho>0, unit varhst, line 36");
}
