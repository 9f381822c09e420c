// A depth histogram of 100 equal cells over [Start, Stop) whose cells can
// only grow wider: a deposit beyond the last cell widens all of them.
#pragma once

namespace orvane {

struct VarHist {
  static constexpr int kCells = 100;
  // Beyond this many cells of its width a depth has no cell number: the
  // number would overflow.
  static constexpr float kFarthestCell = 1e18f;
  float Cells[kCells] = {};
  float Start = 0.0f;
  float Stop = 10.0f;
  float Width = 0.1f;  // (Stop - Start) / 100

  // Lays 100 cells over [start, stop), keeping the cell values as they are.
  // Asserts a positive width.
  void SetRange(float start, float stop);

  // Spreads the profile over 100 wider cells on [newStart, newStop): each new
  // cell holds the average of the old values over its span, so the integral
  // over the new range is kept; parts beyond the old cells count as 0.
  // A width that is not wider than the current one changes nothing.
  // Returns 1 when the cells changed, 0 otherwise; asserts a positive width.
  int Rebin(float newStart, float newStop);
};

}  // namespace orvane
