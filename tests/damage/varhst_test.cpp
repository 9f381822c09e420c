#include "damage/varhst.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace orvane;

namespace {
double Integral(const VarHist& h) {
  double sum = 0.0;
  for (float cell : h.Cells) sum += cell;
  return sum * h.Width;
}
// Every new cell as the sum over all old cells of their overlaps.
void RebinOverEveryCell(VarHist& h, float newStart, float newStop) {
  const float newWidth = (newStop - newStart) / VarHist::kCells;
  float rebinned[VarHist::kCells];
  for (int j = 0; j < VarHist::kCells; ++j) {
    const double low = newStart + static_cast<double>(j) * newWidth;
    const double high = low + newWidth;
    double integral = 0.0;
    for (int i = 0; i < VarHist::kCells; ++i) {
      const double oldLow = h.Start + static_cast<double>(i) * h.Width;
      const double overlap = std::min(high, oldLow + h.Width) - std::max(low, oldLow);
      if (overlap > 0.0) integral += h.Cells[i] * overlap;
    }
    rebinned[j] = static_cast<float>(integral / newWidth);
  }
  std::copy(rebinned, rebinned + VarHist::kCells, h.Cells);
  h.Start = newStart;
  h.Stop = newStop;
  h.Width = newWidth;
}
}  // namespace

TEST(VarHist, RebinAddsTheSameOverlapsAsAWalkOverEveryOldCell) {
  // Widenings by a hair, by whole factors and far beyond, from profiles of
  // any width: the same bits as summing every old cell's overlap.
  std::mt19937 random(11);
  std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
  for (int trial = 0; trial < 300; ++trial) {
    VarHist fast, reference;
    fast.SetRange(0.0f, 0.1f + 500.0f * uniform(random));
    for (float& cell : fast.Cells) cell = uniform(random) < 0.3f ? 0.0f : uniform(random);
    reference = fast;
    for (int widening = 0; widening < 5; ++widening) {
      const float factor = widening % 2 ? 1.0f + 0.02f * uniform(random) : 1.0f + 40.0f * uniform(random);
      const float stop = fast.Start + (fast.Stop - fast.Start) * factor;
      const int changed = fast.Rebin(fast.Start, stop);
      if (changed) RebinOverEveryCell(reference, reference.Start, stop);
      ASSERT_EQ(fast.Width, reference.Width);
      for (int i = 0; i < VarHist::kCells; ++i) ASSERT_EQ(fast.Cells[i], reference.Cells[i]) << i;
    }
  }
}

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
