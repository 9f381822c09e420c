// Ranges in amorphous silicon against published figures: the projected
// range and straggle of LSS-based range tables and of the amorphous-target
// Monte Carlo codes in common use (7 degrees of tilt, default models).  Each
// run has a table directory of its own, made from the shipped densities.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "fresh_tables.h"
#include "support/ion_statistics.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

struct RangeCase {
  const char* name;
  const char* ion;  // the Atom line of the implanted element
  const char* energy;
  int ions;
  double shallowest, deepest;  // nm, the band of the published mean depths
  double straggle;             // nm, the published straggle
};

// B: range tables 35.1 / 18.2 nm at 10 keV and 132.6 / 45.5 nm at 40 keV;
// the codes 39.4-42.7 / 17.4-19.2 and 146.7-147.0 / 47.7-47.9 nm.  As at
// 50 keV: the codes 39.2-39.7 / 14.3-14.7 nm.
const RangeCase kCases[] = {
    {"B 10 keV", "Atom B 5 11.009 519", "10000", 2000, 35.0, 45.0, 18.2},
    {"B 40 keV", "Atom B 5 11.009 519", "40000", 1000, 133.0, 150.0, 45.5},
    {"As 50 keV", "Atom As 33 74.922 285", "50000", 2000, 35.0, 42.0, 14.5},
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class AmorphousSilicon : public FreshTables, public testing::TestWithParam<RangeCase> {
 protected:
  RunResult Implant(const RangeCase& c) {
    return RunWithOwnTables(std::string(c.ion) +
                            "\nAtom Si 14 28.086 519\nAmorphous 2\nVerbose On\n"
                            "Projectiles 1 0 Tha 7 Seed1 2024 Seed2 1208 ENERGY " +
                            c.energy + " NumberOfImplants " + std::to_string(c.ions) + "\n");
  }
};

TEST_P(AmorphousSilicon, RangesAgreeWithPublishedFigures) {
  const RangeCase& c = GetParam();
  const RunResult r = Implant(c);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<FinalIon> ions = Implanted(FinalIons(r.out));
  ASSERT_GT(ions.size(), 0.9 * c.ions);
  const double mean = MeanDepth(ions).value, straggle = Straggle(ions).value;
  EXPECT_GE(mean, c.shallowest) << c.name;
  EXPECT_LE(mean, c.deepest) << c.name;
  EXPECT_NEAR(straggle / c.straggle, 1.0, 0.20) << c.name << ": straggle " << straggle << " nm";

  // The atoms met per unit path, against the layer's atomic density.  A
  // fresh orientation about the atom just struck forgets where the atoms
  // struck before it stood, and the run meets 7 to 10 % more than the
  // layer holds (it met 31 % more when the particle kept its place in a
  // fresh lattice).
  const double density = DensityRatio(r.out);
  EXPECT_NEAR(density, 1.0, 0.12) << c.name;
  std::cout << "[ measured ] " << c.name << " into amorphous Si: mean depth " << mean
            << " nm, straggle " << straggle << " nm, effective / atomic density " << density
            << "\n";
}

INSTANTIATE_TEST_SUITE_P(Implants, AmorphousSilicon, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<RangeCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace

namespace {

class DamagedSilicon : public FreshTables, public testing::Test {};
class LatticeSilicon : public FreshTables, public testing::TestWithParam<int> {};

TEST_P(LatticeSilicon, MeetsItsAtomsAtTheLayerDensity) {
  // A crystal, and a polycrystal that turns its lattice once per ion:
  // between collisions the particle is folded back by whole cells of the
  // lattice as it lies, so it never jumps to another place in it.
  const RunResult r = RunWithOwnTables("Amorphous " + std::to_string(GetParam()) +
                                       "\nVerbose On Tha 7 Seed1 5 Seed2 6 ENERGY 10000 "
                                       "NumberOfImplants 300\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const double density = DensityRatio(r.out);
  EXPECT_NEAR(density, 1.0, 0.03);
  std::cout << "[ measured ] B 10 keV into silicon of kind " << GetParam()
            << ": effective / atomic density " << density << "\n";
}

INSTANTIATE_TEST_SUITE_P(CrystalAndPolycrystal, LatticeSilicon, testing::Values(0, 1));

TEST_F(DamagedSilicon, CrystalAtTheAmorphizationDensityIsLikeAmorphousSilicon) {
  // The crystal meets the ions amorphized everywhere, and they land as in
  // amorphous silicon.
  WriteAmorphizedDamage(runDir);
  const RunResult r = RunWithOwnTables(
      "Verbose On PreviousDamageFile[ damage.dat ]\n"
      "Tha 7 Seed1 77 Seed2 78 ENERGY 10000 NumberOfImplants 600\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const double mean = MeanDepth(Implanted(FinalIons(r.out))).value;
  EXPECT_GE(mean, 35.0);
  EXPECT_LE(mean, 45.0);
  const double density = DensityRatio(r.out);
  EXPECT_NEAR(density, 1.0, 0.12);
  std::cout << "[ measured ] B 10 keV into fully damaged crystalline Si: mean depth " << mean
            << " nm, effective / atomic density " << density << "\n";
}

}  // namespace
