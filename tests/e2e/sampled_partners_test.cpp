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

// A run of the parameters on the tables; two runs before it generate the
// tables that the prepared ones lack and convert them, which the console
// reports.
std::map<std::string, std::string> RunIn(const TempDir& tables, const std::string& parameters,
                                         RunResult& run) {
  for (int warming = 0; warming < 2; ++warming) {
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
  std::map<std::string, std::string> withoutSwitch = RunIn(tables, ChannelledBoron(""), off);
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
  // An amorphous oxide over a crystal that the damage amorphizes, both
  // drawing their partners; the run repeats itself byte for byte.
  const std::string parameters =
      "Atom B 5 11.009 519 Atom Si 14 28.086 519 Atom O 8 15.999 0\n"
      "Amorphous 2 SampledPartners On LatticeParameter 7.16 7.16 7.16\n"
      "XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15\n"
      "XTal 3 6 0.125 0.125 0.125 20 XTal 3 6 0.875 0.875 0.125 20\n"
      "XTal 3 6 0.875 0.125 0.875 20 XTal 3 6 0.125 0.875 0.875 20\n"
      "XMin 0 XMax 30 NextLayer\n"
      "Amorphous 0 SampledPartners On XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15\n"
      "XMin 30 XMax 1e7 NextLayer\n"
      "AmorphizationDensity 4.99e21 DisplacementEnergy 15 DoseRate 1e11 CteD 1\n"
      "Seed1 7 Seed2 8 LevelOfSimulation 2 ENERGY 3000 Tha 7 Dose 1e15 NumberOfImplants 30\n"
      "Verbose On\n";
  TempDir tables;
  RunResult first, second;
  const std::map<std::string, std::string> a = RunIn(tables, parameters, first);
  const std::map<std::string, std::string> b = RunIn(tables, parameters, second);
  ASSERT_EQ(first.status, 0) << first.err;
  ExpectSameResults(a, b, "the second run");
  // Amorphous matter that draws its partners turns no lattice.
  EXPECT_NE(first.out.find("RotationMean      = 0 rot/total_iterations"), std::string::npos)
      << first.out;
}
