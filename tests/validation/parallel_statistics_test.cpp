// Parallel runs follow the same physics as the single-stream run: boron at
// 10 keV into crystalline and into amorphous silicon, 2000 ions each, with
// and without "--threads 2", give mean depths, straggles and 99 % depths
// that agree within three standard errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "support/ion_statistics.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

// The depth (nm) above which the given share of the weight lies.
double DepthWithShareBeyond(std::vector<FinalIon> ions, double share) {
  std::sort(ions.begin(), ions.end(),
            [](const FinalIon& a, const FinalIon& b) { return a.depth > b.depth; });
  double total = 0.0;
  for (const FinalIon& ion : ions) total += ion.weight;
  double beyond = 0.0;
  for (const FinalIon& ion : ions) {
    beyond += ion.weight;
    if (beyond >= share * total) return ion.depth;
  }
  return 0.0;
}

void ExpectAgreement(const Estimate& single, const Estimate& parallel, const std::string& what) {
  EXPECT_TRUE(Agree(single, parallel, 3.0))
      << what << ": " << Describe(single) << " in one stream, " << Describe(parallel)
      << " with two threads";
}

class ParallelPhysics : public testing::TestWithParam<int> {
 protected:
  // Tables of the test's own, made from the shipped densities by a run of
  // one ion in each mode (the parallel one loads every table it can use).
  void SetUp() override {
    for (const auto& entry : std::filesystem::directory_iterator(ShippedDensityDir())) {
      std::filesystem::copy(entry.path(), tables.File(entry.path().filename().string()));
    }
    environment = "TABLES3DDIR=" + tables.Path() + "/ EDTDIR=" + tables.Path() + "/";
    for (const char* options : {"", "--threads 2 "}) {
      ASSERT_EQ(Run(options, 1).status, 0);
    }
  }

  RunResult Run(const std::string& options, int ions) {
    TempDir dir;
    WriteFile(dir.File("p.in"), "Amorphous " + std::to_string(GetParam()) +
                                    "\nTha 7 ENERGY 10000 NumberOfImplants " +
                                    std::to_string(ions) + "\n");
    return RunOrvane(dir.Path(), options + "p.in", environment);
  }

  TempDir tables;
  std::string environment;
};

TEST_P(ParallelPhysics, RangesAgreeWithTheSingleStream) {
  RunResult single, parallel;
  std::thread first([&] { single = Run("", 2000); });
  parallel = Run("--threads 2 ", 2000);
  first.join();
  ASSERT_EQ(single.status, 0) << single.err;
  ASSERT_EQ(parallel.status, 0) << parallel.err;
  const std::vector<FinalIon> s = Implanted(FinalIons(single.out));
  const std::vector<FinalIon> p = Implanted(FinalIons(parallel.out));
  ASSERT_GT(s.size(), 1800u);
  ASSERT_GT(p.size(), 1800u);
  ExpectAgreement(MeanDepth(s), MeanDepth(p), "mean depth (nm)");
  ExpectAgreement(Straggle(s), Straggle(p), "straggle (nm)");
  // The 99 % depth of each run: the other run has as much of its weight
  // beyond it.
  for (double depth : {DepthWithShareBeyond(s, 0.01), DepthWithShareBeyond(p, 0.01)}) {
    ExpectAgreement(FractionDeeper(s, depth), FractionDeeper(p, depth),
                    "share beyond " + std::to_string(depth) + " nm");
  }
  std::cout << "[ measured ] B 10 keV into silicon of kind " << GetParam() << ": mean depth "
            << Describe(MeanDepth(s)) << " / " << Describe(MeanDepth(p)) << " nm, straggle "
            << Describe(Straggle(s)) << " / " << Describe(Straggle(p)) << " nm, 99 % depth "
            << DepthWithShareBeyond(s, 0.01) << " / " << DepthWithShareBeyond(p, 0.01)
            << " nm (one stream / two threads)\n";
}

INSTANTIATE_TEST_SUITE_P(CrystalAndAmorphous, ParallelPhysics, testing::Values(0, 2));

}  // namespace
