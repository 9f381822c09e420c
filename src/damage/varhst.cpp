#include "damage/varhst.h"

#include <algorithm>
#include <cmath>

#include "core/fatal.h"

namespace orvane {

void VarHist::SetRange(float start, float stop) {
  const float width = (stop - start) / kCells;
  Require(width > 0.0f, "mAncho>0", "varhst", 36);
  Start = start;
  Stop = stop;
  Width = width;
}

int VarHist::Rebin(float newStart, float newStop) {
  const float newWidth = (newStop - newStart) / kCells;
  Require(newWidth > 0.0f, "nAncho>0", "varhst", 78);
  if (newWidth <= Width) return 0;
  float rebinned[kCells];
  for (int j = 0; j < kCells; ++j) {
    const double low = newStart + static_cast<double>(j) * newWidth;
    const double high = low + newWidth;
    // Only the old cells about [low, high) can overlap it; they are added
    // in order, as a walk over all of them would add them.
    const double below = std::floor((low - Start) / Width) - 1.0;
    const int first = below <= 0.0 ? 0 : below >= kCells ? kCells : static_cast<int>(below);
    double integral = 0.0;
    for (int i = first; i < kCells; ++i) {
      const double oldLow = Start + static_cast<double>(i) * Width;
      if (oldLow > high) break;
      const double overlap = std::min(high, oldLow + Width) - std::max(low, oldLow);
      if (overlap > 0.0) integral += Cells[i] * overlap;
    }
    rebinned[j] = static_cast<float>(integral / newWidth);
  }
  std::copy(rebinned, rebinned + kCells, Cells);
  Start = newStart;
  Stop = newStop;
  Width = newWidth;
  return 1;
}

}  // namespace orvane
