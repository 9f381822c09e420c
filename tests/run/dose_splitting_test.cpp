#include "run/dose_splitting.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orvane;

namespace {
std::vector<double> Pieces(double dose, std::vector<double> distribution = {}) {
  Simulation s;
  s.Dose = dose;
  s.DoseSplitting = 1;
  for (std::size_t i = 0; i < distribution.size(); ++i) s.DoseDistribution[i] = distribution[i];
  SimulationList pieces;
  SplitDose(s, pieces);
  std::vector<double> doses;
  int n = 0;
  for (const Simulation& piece : pieces) {
    ++n;
    doses.push_back(piece.Dose);
    EXPECT_EQ(piece.DoseSplitting, n == pieces.NumberOfElements() ? 0 : 1);
  }
  return doses;
}
}  // namespace

TEST(DoseSplitting, AutomaticPiecesGrowTenfold) {
  EXPECT_EQ(Pieces(1e15), (std::vector<double>{1e14, 9e14}));
  EXPECT_EQ(Pieces(1e16), (std::vector<double>{1e14, 1e15, 8.9e15}));
  EXPECT_EQ(Pieces(1e14), (std::vector<double>{1e14}));
}

TEST(DoseSplitting, AGivenDistributionComesFirst) {
  EXPECT_EQ(Pieces(1e15, {1e13}), (std::vector<double>{1e13, 9.9e14}));
  Simulation s;
  s.Dose = 1e15;
  s.DoseDistribution[0] = 1e13;
  SimulationList pieces;
  SplitDose(s, pieces);
  // Each piece carries the doses assigned so far.
  EXPECT_EQ(pieces.GetAt(2).DoseDistribution[0], 1e13);
  EXPECT_EQ(pieces.GetAt(2).DoseDistribution[1], 9.9e14);
}

TEST(DoseSplittingDeathTest, DistributionAboveTheDose) {
  EXPECT_EXIT(Pieces(5e13), testing::ExitedWithCode(501 & 0xFF),
              "# Error: Dose distribution greater than specified Dose\n");
  EXPECT_EXIT(Pieces(1e15, {2e15}), testing::ExitedWithCode(501 & 0xFF), "greater than specified");
}
