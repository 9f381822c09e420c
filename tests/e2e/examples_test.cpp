// The shipped examples, run as they are but with 10 ions per simulation:
// each ends with status 0 and writes the profiles of its simulations and
// species, each holding at most the dose of its atoms (the molecules' dose
// times the atoms of the species in one).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ion_statistics.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

struct Profile {
  std::string name;  // joined profile in the output directory
  double dose;       // at/cm^2 of the species' atoms
};

struct Example {
  const char* name;
  std::vector<Profile> profiles;
};

// The example's text with every number of ions cut to ten.
std::string WithTenIons(std::string text) {
  const std::string keyword = "NumberOfImplants";
  for (std::size_t at = text.find(keyword); at != std::string::npos;
       at = text.find(keyword, at + 1)) {
    const std::size_t number = text.find_first_not_of(' ', at + keyword.size());
    const std::size_t end = text.find_first_not_of("0123456789", number);
    if (number == at + keyword.size() || end == number) continue;
    text.replace(number, end - number, "10");
  }
  return text;
}

}  // namespace

TEST(Examples, EachRunsAndWritesItsProfiles) {
  const Example examples[] = {
      {"b5keV_si100.in", {{"Histo1D.01_01", 1e13}, {"Histo1D.02_01", 1e13}}},
      {"bf2_si100.in", {{"Histo1D.01_01", 1e14}, {"Histo1D.01_02", 2e14}}},  // B, F2
      {"as_sio2_on_si.in", {{"Histo1D.01_01", 1e14}}},
      {"b_dose_split_damage.in", {{"Histo1D.01_01", 1e15}}},
  };
  for (const Example& example : examples) {
    SCOPED_TRACE(example.name);
    TempDir dir;
    const std::string text = ReadFile(std::string(ORVANE_SOURCE_DIR) + "/examples/" + example.name);
    ASSERT_NE(text.find("NumberOfImplants"), std::string::npos);
    WriteFile(dir.File(example.name), WithTenIons(text));
    const RunResult r = RunOrvane(dir.Path(), example.name, TablesEnvironment(dir));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("rror"), std::string::npos) << r.err;
    const std::string output = dir.File(std::string("D") + example.name + "/");
    EXPECT_TRUE(FileExists(output + "Parameters.out"));
    EXPECT_TRUE(FileExists(output + "Amorph1D.dat"));
    for (const Profile& profile : example.profiles) {
      const double dose = ProfileDose(ReadFile(output + profile.name));
      EXPECT_GT(dose, 0.5 * profile.dose) << profile.name;
      EXPECT_LE(dose, profile.dose * (1 + 1e-5)) << profile.name;
    }
  }
}
