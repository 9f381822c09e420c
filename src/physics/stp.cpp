#include "physics/stp.h"

#include <cstdio>
#include <iostream>
#include <new>

#include "core/fatal.h"
#include "physics/raw_table_file.h"
#include "physics/table_directory.h"

namespace orvane {

namespace {

constexpr double kFirstSpeed = 0.001;
constexpr double kSpeedStep = 0.002;
constexpr double kFirstRadius = 0.001;
constexpr double kRadiusStep = 0.02;

// True when the cell [index, index + 1] of the coordinate lies within an
// axis of the given number of points; false for NaN as well.
bool InsideAxis(double coordinate, int points) {
  return coordinate >= 0.0 && coordinate < points - 1;
}

}  // namespace

STP::STP()
    : stopping_(kDefaultStoppingModel),
      ionization_(kDefaultIonizationModel),
      parameters_{kIonizationModels[kDefaultIonizationModel].function, kDefaultRS0} {}

void STP::SelectModels(int stopping, int ionization) {
  Require(stopping >= 0 && stopping < kStoppingModelCount, "Stopping model in table", "stp",
          __LINE__);
  Require(ionization >= 0 && ionization < kIonizationModelCount, "Ionization model in table", "stp",
          __LINE__);
  stopping_ = stopping;
  ionization_ = ionization;
  parameters_.ionization = kIonizationModels[ionization].function;
}

void STP::SetLayer(int layer, double rs0) {
  Require(layer >= 0 && layer < kLayerSlots, "Layer>=0 && Layer<MAXLAYER", "stp", __LINE__);
  layer_ = layer;
  parameters_.rs0 = rs0;
}

double STP::Model(double v, double z1, double rs) const {
  return kStoppingModels[stopping_].function(v, z1, rs, parameters_);
}

StoppingFunction STP::ModelFunction() const { return kStoppingModels[stopping_].function; }

double STP::Stopping(double v, double z1, double rs) {
  const double* table = Table(static_cast<int>(z1), z1);
  const double row = rs * kRowsPerRadius;
  const double column = v * kColumnsPerSpeed;
  if (!InsideAxis(row, kRows) || !InsideAxis(column, kColumns)) return Model(v, z1, rs);
  const int j = static_cast<int>(row);
  const int i = static_cast<int>(column);
  const double fv = column - i;
  const double fr = row - j;
  const double* lower = table + j * kColumns + i;
  const double* upper = lower + kColumns;
  const double a = lower[0] + fv * (lower[1] - lower[0]);
  const double b = upper[0] + fv * (upper[1] - upper[0]);
  return a + fr * (b - a);
}

void STP::Release() {
  for (auto& element : cache_)
    for (auto& table : element) table.reset();
}

const double* STP::Table(int z, double z1) {
  Require(z >= 0 && z < kElementSlots, "Z>=0 && Z<MAXZ", "stp", __LINE__);
  std::shared_ptr<double[]>& slot = cache_[z][layer_];
  if (slot == nullptr) slot = LoadOrGenerate(z, z1);
  return slot.get();
}

std::unique_ptr<double[]> STP::LoadOrGenerate(int z, double z1) const {
  std::unique_ptr<double[]> table(new (std::nothrow) double[kEntries]);
  if (table == nullptr) Fatal(302, "#Error: STP::Stopping, No memory\n");
  const std::string path = TablePath(z);
  if (ReadRawTable(path, table.get(), kEntries)) {
    std::cerr << "# Reading " << path << std::endl;
    return table;
  }
  std::cerr << "# Generating non-local inelastic stopping table Z = " << z;
  Generate(table.get(), z1);
  std::cerr << std::endl;
  if (!WriteRawTable(path, table.get(), kEntries))
    Fatal(301, "# Error, STP::Stopping, Can't write in " + path + "\n");
  return table;
}

void STP::Generate(double* table, double z1) const {
  for (int entry = 0; entry < kEntries; ++entry) {
    const double rs = kFirstRadius + kRadiusStep * (entry / kColumns);
    const double v = kFirstSpeed + kSpeedStep * (entry % kColumns);
    table[entry] = Model(v, z1, rs);
  }
}

std::string STP::TablePath(int z) const {
  char name[64];
  std::snprintf(name, sizeof name, "InelNonLocal%02d_%02d_%02d_%04.2f.dat", z, stopping_,
                ionization_, static_cast<double>(static_cast<float>(parameters_.rs0)));
  return TableDirectory() + name;
}

}  // namespace orvane
