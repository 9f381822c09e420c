// Runs with partners drawn from the density of amorphous matter: a crystal
// that nothing amorphizes is untouched by the switch, the echo names the
// switch only where the file does, and the draws repeat from the seeds.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/run_comparison.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

// B at 5 keV along the <100> channel of crystalline silicon, with recoils.
std::string ChannelledBoron(const std::string& layerSwitch) {
  return "Atom B 5 11.009 519 Atom Si 14 28.086 519\n"
         "XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 " +
         layerSwitch +
         " NextLayer\n"
         "Seed1 31 Seed2 41 LevelOfSimulation 2 ENERGY 5000 Tha 0 NumberOfImplants 40\n"
         "PearsonIV On ASCII On\n";
}

// A run of the parameters on the tables.  Two runs before it, when asked
// for, generate the tables that the prepared ones lack and convert them,
// which the console reports.
std::map<std::string, std::string> RunIn(const TempDir& tables, const std::string& parameters,
                                         RunResult& run, int warmingRuns = 0) {
  for (int warming = 0; warming < warmingRuns; ++warming) {
    TempDir warm;
    WriteFile(warm.File("p.in"), parameters);
    RunOrvane(warm.Path(), "p.in", TablesEnvironment(tables));
  }
  TempDir dir;
  WriteFile(dir.File("p.in"), parameters);
  run = RunOrvane(dir.Path(), "p.in", TablesEnvironment(tables));
  return Results(dir, run);
}

}  // namespace

TEST(SampledPartners, ACrystalThatNothingAmorphizesGivesTheSameFiles) {
  TempDir tables;
  RunResult off, on;
  std::map<std::string, std::string> withoutSwitch = RunIn(tables, ChannelledBoron(""), off, 2);
  std::map<std::string, std::string> withSwitch =
      RunIn(tables, ChannelledBoron("SampledPartners On"), on);
  ASSERT_EQ(off.status, 0) << off.err;
  ASSERT_EQ(on.status, 0) << on.err;
  // The echo names the switch where the file gives it, and only there: the
  // keyword with the value it keeps after the last layer, and the layer.
  const std::string echo = "Dp.in/Parameters.out";
  EXPECT_EQ(withoutSwitch[echo].find("SampledPartners"), std::string::npos);
  EXPECT_NE(withSwitch[echo].find("SampledPartners =        Off\n"), std::string::npos);
  EXPECT_NE(withSwitch[echo].find("    SampledPartners  On\n"), std::string::npos);
  for (const char* differs : {"p.in", "Dp.in/Parameters.out"}) {
    withoutSwitch.erase(differs);
    withSwitch.erase(differs);
  }
  ASSERT_GT(withSwitch.count("Dp.in/Histo1D.01_01"), 0u);
  ExpectSameResults(withoutSwitch, withSwitch, "with the switch on");
}

TEST(SampledPartners, AmorphousMatterDrawsTheSamePartnersFromTheSameSeeds) {
  // An amorphous oxide over a crystal that the damage of dose pieces
  // amorphizes, both drawing their partners; the run repeats itself byte
  // for byte.
  const std::string parameters =
      std::string(kSampledPartnersWithDamage) + "Seed1 7 Seed2 8 Verbose On\n";
  TempDir tables;
  RunResult first, second;
  std::map<std::string, std::string> a = RunIn(tables, parameters, first);
  std::map<std::string, std::string> b = RunIn(tables, parameters, second);
  ASSERT_EQ(first.status, 0) << first.err;
  // The console of the first run reports the tables it made.
  a.erase("<stdout>");
  b.erase("<stdout>");
  ExpectSameResults(a, b, "the second run");
  // Amorphous matter that draws its partners turns no lattice.
  EXPECT_NE(first.out.find("RotationMean      = 0 rot/total_iterations"), std::string::npos)
      << first.out;
}
