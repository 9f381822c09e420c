#include "physics/tc.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <new>
#include <thread>
#include <vector>

#include "core/fatal.h"
#include "core/replaced_file.h"
#include "physics/table_masses.h"

namespace orvane {

namespace {

// Prints the text on standard error, then as many backspaces as it has
// characters, so that the next text overwrites it on a terminal.
void PrintProgress(const char* text) {
  const std::string backspaces(std::char_traits<char>::length(text), '\b');
  std::cerr << text << backspaces << std::flush;
}

void StoreEntry(float* entry, const CollisionOutcome& o) {
  const double values[TC::kValues] = {
      o.ProjectileIntersection, o.RecoilIntersection, o.RecoilCosine, o.ProjectileEnergy,
      o.RecoilEnergy,           o.EnergyLoss,         o.PathLength};
  for (int v = 0; v < TC::kValues; ++v) entry[v] = static_cast<float>(values[v]);
}

}  // namespace

int TC::DefaultThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

TC::TC(int threads, StepControl control) : threads_(threads < 1 ? 1 : threads), control_(control) {}

void TC::Init(double z1, double z2, double w1, double w2, int rows,
              const PairPotentials& potentials) {
  Require(rows >= 1 && rows <= N_ENERGY, "Rows>=1&&Rows<=N_ENERGY", "tc", __LINE__);
  const int iz1 = static_cast<int>(z1);
  const int iz2 = static_cast<int>(z2);
  ssf_.Init(iz1, iz2, potentials.At(iz1, iz2));
  w1_ = w1;
  w2_ = w2;
  const long values = static_cast<long>(rows) * N_S * kValues;
  table_.reset(new (std::nothrow) float[values]);
  if (!table_) {
    Fatal(302, "\n# Error: TC::Init, Can not allocate " + std::to_string(values * sizeof(float)) +
                   " bytes\n\n");
  }
  std::fill(table_.get(), table_.get() + values, 1.0f);
  rows_ = rows;
  pair_ = NucleusPair(ssf_, z1, z2, w1, w2);
}

CollisionOutcome TC::Collide(double energy, double impact) const {
  return orvane::Collide(pair_, energy, impact, control_);
}

void TC::Integrate(const RowTask* rows, int count, const std::function<void(int)>& finished) {
  // Tasks are pairs of neighbouring impact parameters, row after row; each
  // pair is integrated side by side.
  constexpr int kPairsPerRow = N_S / 2;
  const int tasks = count * kPairsPerRow;
  std::unique_ptr<std::atomic<int>[]> pairsDone(new std::atomic<int>[count]());
  std::atomic<int> next{0};
  int reported = 0;
  auto reportFinishedRows = [&] {
    while (reported < count && pairsDone[reported].load() == kPairsPerRow) finished(reported++);
  };
  auto work = [&](bool reporting) {
    for (int t = next++; t < tasks; t = next++) {
      const RowTask& task = rows[t / kPairsPerRow];
      const int i = 2 * (t % kPairsPerRow);
      const double energy = EnergyIndexToValue(task.energyIndex).lower;
      CollisionIntegration first(pair_, energy, ImpactIndexToValue(i).lower, control_);
      CollisionIntegration second(pair_, energy, ImpactIndexToValue(i + 1).lower, control_);
      CollideTogether(first, second);
      StoreEntry(Entry(task.row, i), first.Outcome());
      StoreEntry(Entry(task.row, i + 1), second.Outcome());
      ++pairsDone[t / kPairsPerRow];
      if (reporting) reportFinishedRows();
    }
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads_; ++t) helpers.emplace_back(work, false);
  work(true);
  for (std::thread& helper : helpers) helper.join();
  reportFinishedRows();
}

void TC::ComputeRow(int energyIndex, int phiIndex, int row) {
  Require(row >= 0 && row < rows_, "Row>=0&&Row<Rows", "tc", __LINE__);
  PhiIndexToValue(phiIndex);  // the angle grid asserts the index
  const std::time_t start = std::time(nullptr);
  const RowTask task{energyIndex, row};
  Integrate(&task, 1, [&](int) { PrintRowTime(energyIndex, phiIndex, start); });
}

void TC::ComputeIndex(int energyIndex) {
  const std::time_t start = std::time(nullptr);
  ComputeRow(energyIndex, 0, energyIndex);
  PrintIndexTime(energyIndex, start);
}

void TC::ComputeIndexes(int count) {
  Require(count >= 0 && count <= rows_ && count <= N_ENERGY, "Count<=Rows&&Count<=N_ENERGY", "tc",
          __LINE__);
  std::vector<RowTask> tasks;
  for (int e = 0; e < count; ++e) tasks.push_back({e, e});
  std::time_t start = std::time(nullptr);
  Integrate(tasks.data(), count, [&](int e) {
    PrintRowTime(e, 0, start);
    PrintIndexTime(e, start);
    start = std::time(nullptr);
  });
}

void TC::PrintRowTime(int energyIndex, int phiIndex, std::time_t start) const {
  if (!showProgress_) return;
  char text[64];
  std::snprintf(text, sizeof text, "(%3d:%3d) %lf seconds", energyIndex, phiIndex,
                std::difftime(std::time(nullptr), start));
  PrintProgress(text);
}

void TC::PrintIndexTime(int energyIndex, std::time_t start) const {
  if (!showProgress_) return;
  char text[64];
  std::snprintf(text, sizeof text, "# Index %3d/%3d calculated in %.2lf seconds", energyIndex,
                N_ENERGY - 1, std::difftime(std::time(nullptr), start));
  PrintProgress(text);
}

void TC::SAVE_ASCII(const std::string& fileName, int rows) const {
  Require(rows >= 0 && rows <= rows_, "Rows>=0&&Rows<=TableRows", "tc", __LINE__);
  ReplacedFile file(fileName, std::ios::out | std::ios::binary);
  std::ofstream& os = file.Stream();
  if (!os) Fatal(300, "# Error: TC::SAVE_ASCII, Can't open file " + fileName + "\n");
  char header[kHeaderBytes];
  std::fill(header, header + kHeaderBytes, '%');
  std::snprintf(header, kHeaderBytes, "nE=%2d,nS=%2d,nV=%1d", N_ENERGY, N_S, kValues);
  WriteMassTag(header, w1_, w2_);
  header[kHeaderBytes - 1] = '\n';
  os.write(header, kHeaderBytes);
  const float* value = table_.get();
  char number[64];  // the largest float takes 39 digits before the point
  for (int line = 0; line < rows * N_S; ++line) {
    for (int v = 0; v < kValues; ++v, ++value) {
      std::snprintf(number, sizeof number, v == 0 ? "%15.6f" : " %15.6f",
                    static_cast<double>(*value));
      os << number;
    }
    os << '\n';
  }
  if (!file.Commit()) Fatal(300, "# Error: TC::SAVE_ASCII, Can't write file " + fileName + "\n");
}

}  // namespace orvane
