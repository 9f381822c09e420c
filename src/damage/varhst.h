// A depth histogram of 100 equal cells over [Start, Stop).
#pragma once

namespace orvane {

struct VarHist {
  static constexpr int kCells = 100;
  float Cells[kCells] = {};
  float Start = 0.0f;
  float Stop = 10.0f;
  float Width = 0.1f;
};

}  // namespace orvane
