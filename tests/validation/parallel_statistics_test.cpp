// Parallel runs follow the same physics as the single-stream run: boron at
// 10 keV into crystalline and into amorphous silicon, 2000 ions each, with
// and without "--threads 2", give mean depths, straggles and 99 % depths
// that agree within three standard errors.  So they do into a crystal at
// normal incidence whose damage grows with the dose and closes its
// channels, where the parallel run adds the damage of each batch at once;
// there the damage retained agrees too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>
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

struct Case {
  const char* name;
  int amorphous;       // the layer's kind: 0 crystalline, 2 amorphous
  const char* beam;    // the beam's keywords
  const char* damage;  // the damage model's keywords, empty for the defaults
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// The displacements retained per ion, "DDBC_1D.dat": their sum over the
// run, its error counting each ion as one independent draw.
Estimate RetainedDamage(const std::string& text) {
  std::istringstream lines(text);
  double sum = 0.0, squares = 0.0;
  long n = 0;
  for (double retained; lines >> retained; ++n) {
    sum += retained;
    squares += retained * retained;
  }
  const double mean = n > 0 ? sum / n : 0.0;
  const double variance = n > 1 ? (squares - n * mean * mean) / (n - 1) : 0.0;
  return {sum, std::sqrt(std::max(variance, 0.0) * n)};
}

struct Outcome {
  RunResult run;
  std::string retained;  // "DDBC_1D.dat"
};

class ParallelPhysics : public testing::TestWithParam<Case> {
 protected:
  // Tables of the test's own, made from the shipped densities by a run of
  // one ion in each mode (the parallel one loads every table it can use).
  void SetUp() override {
    for (const auto& entry : std::filesystem::directory_iterator(ShippedDensityDir())) {
      std::filesystem::copy(entry.path(), tables.File(entry.path().filename().string()));
    }
    environment = "TABLES3DDIR=" + tables.Path() + "/ EDTDIR=" + tables.Path() + "/";
    for (const char* options : {"", "--threads 2 "}) {
      ASSERT_EQ(Run(options, 1).run.status, 0);
    }
  }

  Outcome Run(const std::string& options, int ions) {
    TempDir dir;
    const Case& c = GetParam();
    WriteFile(dir.File("p.in"), "Amorphous " + std::to_string(c.amorphous) + "\n" + c.beam +
                                    " NumberOfImplants " + std::to_string(ions) + "\n" + c.damage +
                                    "\n");
    Outcome outcome{RunOrvane(dir.Path(), options + "p.in", environment), ""};
    outcome.retained = ReadFile(dir.File("Dp.in/DDBC_1D.dat"));
    return outcome;
  }

  TempDir tables;
  std::string environment;
};

TEST_P(ParallelPhysics, RangesAgreeWithTheSingleStream) {
  Outcome singleOutcome, parallelOutcome;
  std::thread first([&] { singleOutcome = Run("", 2000); });
  parallelOutcome = Run("--threads 2 ", 2000);
  first.join();
  const RunResult& single = singleOutcome.run;
  const RunResult& parallel = parallelOutcome.run;
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
  const Estimate retainedSingle = RetainedDamage(singleOutcome.retained);
  const Estimate retainedParallel = RetainedDamage(parallelOutcome.retained);
  if (*GetParam().damage != '\0') {
    EXPECT_GT(retainedSingle.value, 0.0);
    ExpectAgreement(retainedSingle, retainedParallel, "displacements retained");
    std::cout << "[ measured ] displacements retained " << Describe(retainedSingle) << " / "
              << Describe(retainedParallel) << " (one stream / two threads)\n";
  }
  std::cout << "[ measured ] " << GetParam().beam << " into silicon of kind "
            << GetParam().amorphous << ": mean depth " << Describe(MeanDepth(s)) << " / "
            << Describe(MeanDepth(p)) << " nm, straggle " << Describe(Straggle(s)) << " / "
            << Describe(Straggle(p)) << " nm, 99 % depth " << DepthWithShareBeyond(s, 0.01) << " / "
            << DepthWithShareBeyond(p, 0.01) << " nm (one stream / two threads)\n";
}

INSTANTIATE_TEST_SUITE_P(
    CrystalAndAmorphous, ParallelPhysics,
    testing::Values(Case{"Crystal", 0, "Tha 7 ENERGY 10000", ""},
                    Case{"Amorphous", 2, "Tha 7 ENERGY 10000", ""},
                    // A profile that amorphizes gradually (no runaway of the
                    // survival law) and halves the mean depth over the run.
                    Case{"CrystalAmorphizing", 0, "Tha 0 ENERGY 10000",
                         "AmorphizationDensity 1e18 DoseRate 1e10 CteD 1 CteC 0"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
