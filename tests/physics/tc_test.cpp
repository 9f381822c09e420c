#include "physics/tc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "physics/scattering_tables.h"
#include "support/test_support.h"

namespace orvane {
namespace {

using orvane_test::ReadFile;
using orvane_test::TempDir;

constexpr int kEntry = TC::kValues;
constexpr int kRow = N_S * TC::kValues;

TEST(TC, InitAllocatesTheRowsWithEveryValueOne) {
  PairPotentials potentials;
  TC computer;
  computer.Init(5, 14, 10.811, 28.086, 3, potentials);
  EXPECT_EQ(computer.Rows(), 3);
  for (int v = 0; v < 3 * kRow; ++v) ASSERT_EQ(computer.Table()[v], 1.0f) << v;
}

TEST(TC, InitTakesTheScreeningOfThePairPotentialTable) {
  PairPotentials potentials;
  potentials.Type[5][14] = kLenzJensen;
  TC computer;
  computer.Init(5.7, 14.2, 10.811, 28.086, 1, potentials);  // atomic numbers truncated
  EXPECT_NEAR(computer.Screening().Phi[0], 1.00008, 1e-12);
}

TEST(TC, ARowHoldsTheCollisionsOfItsEnergyRoundedToFloat) {
  PairPotentials potentials;
  TC computer;
  computer.Init(5, 14, 10.811, 28.086, 2, potentials);
  testing::internal::CaptureStderr();
  computer.ComputeRow(40, 0, 1);
  testing::internal::GetCapturedStderr();
  const double energy = EnergyIndexToValue(40).lower;
  for (int i = 0; i < N_S; ++i) {
    const CollisionOutcome o = computer.Collide(energy, ImpactIndexToValue(i).lower);
    const double values[kEntry] = {o.ProjectileIntersection,
                                   o.RecoilIntersection,
                                   o.RecoilCosine,
                                   o.ProjectileEnergy,
                                   o.RecoilEnergy,
                                   0.0,
                                   0.0};
    for (int v = 0; v < kEntry; ++v) {
      EXPECT_EQ(computer.Table()[kRow + i * kEntry + v], static_cast<float>(values[v])) << i;
      EXPECT_EQ(computer.Table()[i * kEntry + v], 1.0f);  // row 0 untouched
    }
  }
}

// The texts of a progress stream, each with the number of backspaces that
// follow it.
std::vector<std::pair<std::string, std::size_t>> Overwritten(const std::string& stream) {
  std::vector<std::pair<std::string, std::size_t>> texts;
  std::size_t at = 0;
  while (at < stream.size()) {
    const std::size_t back = std::min(stream.find('\b', at), stream.size());
    const std::size_t next = std::min(stream.find_first_not_of('\b', back), stream.size());
    texts.emplace_back(stream.substr(at, back - at), next - back);
    at = next;
  }
  return texts;
}

bool Framed(const std::string& text, const std::string& head, const std::string& tail) {
  return text.size() > head.size() + tail.size() && text.rfind(head, 0) == 0 &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0 &&
         text.find_first_not_of("0123456789", head.size()) == text.size() - tail.size();
}

TEST(TC, ProgressTextOverwritesItselfOnTheTerminal) {
  PairPotentials potentials;
  TC computer;
  computer.Init(14, 14, 28.086, 28.086, N_ENERGY, potentials);
  testing::internal::CaptureStderr();
  computer.ComputeIndex(5);
  const std::string text = testing::internal::GetCapturedStderr();
  const auto texts = Overwritten(text);
  ASSERT_EQ(texts.size(), 2u) << text;
  EXPECT_TRUE(Framed(texts[0].first, "(  5:  0) ", ".000000 seconds")) << text;
  EXPECT_TRUE(Framed(texts[1].first, "# Index   5/ 71 calculated in ", ".00 seconds")) << text;
  for (const auto& [shown, backspaces] : texts) EXPECT_EQ(backspaces, shown.size()) << shown;
  EXPECT_NE(computer.Table()[5 * kRow + 4], 1.0f);
}

TEST(TC, ProgressCanBeSilenced) {
  PairPotentials potentials;
  TC computer;
  computer.Init(14, 14, 28.086, 28.086, N_ENERGY, potentials);
  computer.ShowProgress(false);
  testing::internal::CaptureStderr();
  computer.ComputeIndexes(2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_NE(computer.Table()[1 * kRow + 4], 1.0f);
}

// Sharing the collisions among threads changes nothing in the table.
TEST(TC, ThreadsGiveTheTableOfOneThread) {
  PairPotentials potentials;
  TC one(1);
  TC two(2);
  one.Init(5, 14, 10.811, 28.086, N_ENERGY, potentials);
  two.Init(5, 14, 10.811, 28.086, N_ENERGY, potentials);
  const int rows = scattering_test::kUnderSanitizer ? 12 : N_ENERGY;
  testing::internal::CaptureStderr();
  one.ComputeIndexes(rows);
  two.ComputeIndexes(rows);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::memcmp(one.Table(), two.Table(), N_ENERGY * kRow * sizeof(float)), 0);
  EXPECT_NE(one.Table()[(rows - 1) * kRow + 4], 1.0f);
}

TEST(TC, SharedRowsAreTheRowsComputedOneByOne) {
  PairPotentials potentials;
  TC shared(2);
  TC single(2);
  shared.Init(33, 14, 74.9216, 28.086, 3, potentials);
  single.Init(33, 14, 74.9216, 28.086, 3, potentials);
  testing::internal::CaptureStderr();
  shared.ComputeIndexes(3);
  const std::string text = testing::internal::GetCapturedStderr();
  testing::internal::CaptureStderr();
  for (int e = 0; e < 3; ++e) single.ComputeIndex(e);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::memcmp(shared.Table(), single.Table(), 3 * kRow * sizeof(float)), 0);
  std::size_t at = 0;
  for (const char* step : {"(  0:  0) ", "# Index   0/ 71", "(  1:  0) ", "# Index   1/ 71",
                           "(  2:  0) ", "# Index   2/ 71 "}) {
    at = text.find(step, at);
    ASSERT_NE(at, std::string::npos) << step << " in order in " << text;
  }
}

TEST(TC, TextTableHasTheHeaderAndFixedPointLines) {
  PairPotentials potentials;
  TC computer;
  computer.Init(5, 14, 10.811, 28.086, 2, potentials);
  testing::internal::CaptureStderr();
  computer.ComputeRow(30, 0, 0);
  testing::internal::GetCapturedStderr();
  TempDir dir;
  computer.SAVE_ASCII(dir.File("table.dat"), 2);
  const std::string text = ReadFile(dir.File("table.dat"));

  const std::string header = text.substr(0, 200);
  EXPECT_EQ(std::string(header.c_str()), "nE=72,nS=30,nV=7");
  EXPECT_EQ(header[16], '\0');
  // The masses after the grid sizes, in the filler.
  std::string filler = std::string(15, '%') + "W1=10.811,W2=28.086" + '\0';
  filler.resize(182, '%');
  EXPECT_EQ(header.substr(17, 182), filler);
  EXPECT_EQ(header[199], '\n');

  std::istringstream lines(text.substr(200));
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    const float* entry = computer.Table() + count * kEntry;
    char expected[256];
    int length = 0;
    for (int v = 0; v < kEntry; ++v) {
      length += std::snprintf(expected + length, sizeof expected - length, v ? " %15.6f" : "%15.6f",
                              static_cast<double>(entry[v]));
    }
    ASSERT_EQ(line, expected) << count;
    ++count;
  }
  EXPECT_EQ(count, 2 * N_S);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_NE(text.find("       1.000000        1.000000"), std::string::npos);  // row 1 as set
}

TEST(TCDeathTest, TextTableThatCannotBeCreatedEndsTheRun) {
  PairPotentials potentials;
  TC computer;
  computer.Init(5, 14, 10.811, 28.086, 1, potentials);
  EXPECT_EXIT(computer.SAVE_ASCII("/nonexistent-dir/Zel0514.dat", 1),
              testing::ExitedWithCode(300 & 0xFF),
              "^# Error: TC::SAVE_ASCII, Can't open file /nonexistent-dir/Zel0514.dat\n$");
}

TEST(TCDeathTest, AngleIndexOutsideItsGridFailsTheAssertion) {
  PairPotentials potentials;
  TC computer;
  computer.Init(5, 14, 10.811, 28.086, 1, potentials);
  EXPECT_DEATH(computer.ComputeRow(0, 1, 0), "Index>=0&&Index<=N_PHI-1");
}

}  // namespace
}  // namespace orvane
