// The rules of the implant loop through real runs, judged by statistics
// rather than by stored files: the atoms of a molecule, rare-event
// splitting, the dose under the profile and the moments of amorphous
// ranges, each against a value obtained by other means within a few
// standard errors.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "support/ion_statistics.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

// Runs the parameter texts side by side (the machine has two cores), each
// in a directory of its own.
struct ParallelRun {
  explicit ParallelRun(std::string text) : parameters(std::move(text)) {}
  std::string parameters;
  TempDir dir;
  RunResult result;
};

void RunSideBySide(std::vector<ParallelRun*> runs) {
  std::vector<std::thread> threads;
  for (ParallelRun* run : runs) {
    threads.emplace_back([run] { run->result = RunFile(run->dir, run->parameters); });
  }
  for (std::thread& t : threads) t.join();
  for (ParallelRun* run : runs) ASSERT_EQ(run->result.status, 0) << run->result.err;
}

void ExpectAgreement(const Estimate& a, const Estimate& b, const std::string& what) {
  EXPECT_TRUE(Agree(a, b, 4.0)) << what << ": " << Describe(a) << " against " << Describe(b);
}

const char* kBoronFluorineSilicon =
    "Atom B 5 11.009 519 Atom F 9 18.998 0 Atom Si 14 28.086 519\n"
    "XTal 3 6 0 0 0 15 XTal 3 6 0.25 0.25 0.25 15 NextLayer\n"
    "ASCII On Tha 7 NumberOfImplants 400\n";

}  // namespace

TEST(ImplantStatistics, TheBoronOfBF2LandsLikeBoronAloneAtItsShareOfTheEnergy) {
  // The atoms of a molecule move at one speed: boron carries 11.009/49.005
  // of the molecule's 10 keV.
  ParallelRun molecule(std::string(kBoronFluorineSilicon) + "Projectiles 1 2 2 0 ENERGY 10000\n");
  std::ostringstream alone;
  alone << kBoronFluorineSilicon << "Projectiles 1 0 ENERGY " << 10000.0 * 11.009 / 49.005 << "\n";
  ParallelRun boron(alone.str());
  RunSideBySide({&molecule, &boron});
  const auto ions = [](const ParallelRun& run) {
    return CoordinateIons(ReadFile(run.dir.File("Dp.in/Ion.01.coordinates.dat")));
  };
  const std::vector<FinalIon> a = ions(molecule), b = ions(boron);
  ASSERT_EQ(a.size(), 400u);
  ASSERT_EQ(b.size(), 400u);
  ExpectAgreement(MeanDepth(a), MeanDepth(b), "mean depth (nm)");
  ExpectAgreement(Straggle(a), Straggle(b), "straggle (nm)");
  std::cout << "[ measured ] boron of BF2 " << Describe(MeanDepth(a)) << " nm, boron alone "
            << Describe(MeanDepth(b)) << " nm\n";
}

TEST(ImplantStatistics, RareEventsKeepTheProfileAndWeighOneRealIonPerIon) {
  const std::string beam = "ENERGY 5000 Tha 7 Dose 1e14 ";
  ParallelRun plain(beam + "NumberOfImplants 1000\n");
  ParallelRun split(beam + "NumberOfImplants 500 RareEvent 2\n");
  RunSideBySide({&plain, &split});
  const std::vector<FinalIon> p = FinalIons(plain.result.out), s = FinalIons(split.result.out);

  // Every ion's virtual ions weigh together what the ion weighs:
  // 1e14 at/cm^2 over 100 A^2 shared by 500 ions.
  std::map<long, double> weights;
  for (const FinalIon& ion : s) weights[ion.number] += ion.weight;
  ASSERT_EQ(weights.size(), 500u);
  for (const auto& [number, weight] : weights) EXPECT_NEAR(weight, 0.002, 1e-9) << number;
  EXPECT_GT(s.size(), 3 * weights.size() / 2);  // the run did split
  EXPECT_EQ(ReadFile(split.dir.File("Dp.in/Histo1D.01_01")).rfind("# 500 1 ", 0), 0u);

  const std::vector<FinalIon> pi = Implanted(p), si = Implanted(s);
  ExpectAgreement(MeanDepth(si), MeanDepth(pi), "mean depth (nm)");
  ExpectAgreement(Straggle(si), Straggle(pi), "straggle (nm)");
  const double mean = MeanDepth(pi).value, straggle = Straggle(pi).value;
  for (double sigmas : {1.0, 2.0, 3.0}) {
    const double depth = mean + sigmas * straggle;
    ExpectAgreement(FractionDeeper(si, depth), FractionDeeper(pi, depth),
                    "share deeper than " + std::to_string(depth) + " nm");
  }
}

TEST(ImplantStatistics, TheProfileHoldsTheDoseLessWhatLeftTheTarget) {
  // Boron at 60 degrees: many ions come back out through the surface.
  TempDir dir;
  const RunResult r =
      RunFile(dir, "ENERGY 2000 Tha 60 Dose 2e14 NumberOfImplants 300 RareEvent 1\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<FinalIon> ions = FinalIons(r.out);
  double total = 0.0, left = 0.0, deepest = -1.0, deepestWeight = 0.0;
  for (const FinalIon& ion : ions) {
    total += ion.weight;
    if (ion.depth < 0.0) left += ion.weight;  // back-scattered
    if (ion.depth > deepest) {
      deepest = ion.depth;
      deepestWeight = ion.weight;
    }
  }
  ASSERT_NEAR(total, 2e14 * 100 / 1e16, 1e-6);  // the dose over the 100 A^2 window
  ASSERT_GT(left, 0.05 * total);
  // The deepest ion marks the end of the profile and lies in no written bin.
  const double expected = 2e14 * (total - left - deepestWeight) / total;
  EXPECT_NEAR(ProfileDose(ReadFile(dir.File("Dp.in/Histo1D.01_01"))), expected, 1e-4 * expected);
  EXPECT_NEAR(ProfileDose(ReadFile(dir.File("Dp.in/.Histo1D.01_01"))), expected, 1e-4 * expected);
}

namespace {

// The stored moments of boron in amorphous silicon: "mean" and "straggle"
// lines with a value and its standard error (nm).
std::map<std::string, Estimate> StoredAmorphousMoments() {
  std::map<std::string, Estimate> moments;
  std::istringstream is(
      ReadFile(std::string(ORVANE_SOURCE_DIR) + "/tests/e2e/expected/amorphous_moments.txt"));
  for (std::string line; std::getline(is, line);) {
    std::istringstream fields(line);
    std::string name;
    Estimate e;
    if (line.empty() || line[0] == '#' || !(fields >> name >> e.value >> e.error)) continue;
    moments[name] = e;
  }
  return moments;
}

}  // namespace

TEST(ImplantStatistics, AmorphousMomentsStayWithinThreeStandardErrorsOfTheStoredOnes) {
  std::map<std::string, Estimate> stored = StoredAmorphousMoments();
  ASSERT_EQ(stored.count("mean"), 1u);
  ASSERT_EQ(stored.count("straggle"), 1u);
  TempDir dir;
  const RunResult r = RunFile(dir, "Amorphous 2\nTha 7 NumberOfImplants 1000 ENERGY 10000\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<FinalIon> ions = Implanted(FinalIons(r.out));
  ASSERT_GT(ions.size(), 950u);
  const Estimate mean = MeanDepth(ions), straggle = Straggle(ions);
  EXPECT_TRUE(Agree(mean, stored["mean"], 3.0))
      << "mean depth " << Describe(mean) << " nm, stored " << Describe(stored["mean"]);
  EXPECT_TRUE(Agree(straggle, stored["straggle"], 3.0))
      << "straggle " << Describe(straggle) << " nm, stored " << Describe(stored["straggle"]);
}

// Every species of a molecule has its own profile: fluorine of BF2 holds
// twice the dose, boron the dose, each less what left the target.
TEST(ImplantStatistics, EachSpeciesOfAMoleculeHoldsItsAtomsTimesTheDose) {
  TempDir dir;
  const RunResult r = RunFile(dir, std::string(kBoronFluorineSilicon) +
                                       "Projectiles 1 2 2 0 ENERGY 5000 Dose 1e15 "
                                       "NumberOfImplants 30\n");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> headings;
  std::istringstream out(r.out);
  for (std::string line; std::getline(out, line);) {
    if (line.rfind("# Summary", 0) == 0) headings.push_back(line);
  }
  ASSERT_EQ(headings.size(), 2u) << r.out;  // one block per species
  EXPECT_EQ(headings[0], "# Summary of simulation 1, species 1 (B): 30 ions");
  EXPECT_EQ(headings[1], "# Summary of simulation 1, species 2 (F): 30 ions");
  for (int species : {1, 2}) {
    const std::vector<FinalIon> ions = CoordinateIons(
        ReadFile(dir.File("Dp.in/Ion.0" + std::to_string(species) + ".coordinates.dat")));
    ASSERT_EQ(ions.size(), species == 1 ? 30u : 60u);
    double total = 0.0, left = 0.0, deepest = -1.0, deepestWeight = 0.0;
    for (const FinalIon& ion : ions) {
      total += ion.weight;
      if (ion.depth < 0.0) left += ion.weight;
      if (ion.depth > deepest) {
        deepest = ion.depth;
        deepestWeight = ion.weight;
      }
    }
    const double expected = species * 1e15 * (total - left - deepestWeight) / total;
    const std::string profile = "Dp.in/Histo1D.01_0" + std::to_string(species);
    EXPECT_NEAR(ProfileDose(ReadFile(dir.File(profile))), expected, 1e-4 * expected) << species;
  }
}
