// The three-dimensional tally of one species: every tallied ion's final
// position in the implant frame, with its weight and path length.
#pragma once

#include "core/vector.h"
#include "tally/record_file.h"

namespace orvane {

struct Tally3DEntry {
  Vector Position;          // implant frame, angstrom
  double Weight = 0.0;      // real ions the entry stands for
  double PathLength = 0.0;  // angstrom
};

struct Tally3D {
  RecordFile<Tally3DEntry> Entries;

  void Add(const Vector& position, double weight, double pathLength) {
    Entries.Add(Tally3DEntry{position, weight, pathLength});
  }
  void Clear() { Entries.Clear(); }
};

}  // namespace orvane
