#include "run/input.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/atom.h"
#include "physics/pair_potentials.h"
#include "run/simulation.h"
#include "support/test_support.h"
#include "target/layer.h"

using namespace orvane;
using orvane_test::TempDir;
using orvane_test::WriteFile;

namespace {

// A small vocabulary of every value kind, read from a file of the test.
struct Vocabulary {
  int32_t count = 0;
  double dose = 1.0;
  Vector dir = UnitX;
  double rs0[5] = {1.85, 1.85, 1.85, 1.85, 1.85};
  double pieces[5] = {9, 9, 9, 9, 9};
  int32_t species[10] = {7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
  int32_t verbose = 0;
  char text[16] = "";
  AtomList atoms;
  PairPotentials potentials;
  Layer layer;
  LayerList layers;
  Simulation simulation;
  SimulationList simulations;

  void Register(Input& input) {
    input.Add({"Count", KIND_INTEGER, &count});
    input.Add({"Dose", KIND_REAL, &dose});
    input.Add({"DIR", KIND_VECTOR, &dir});
    input.Add({"RS0", KIND_REAL_LIST_CARRIED, rs0});
    input.Add({"DoseDistribution", KIND_REAL_LIST_ZEROED, pieces});
    input.Add({"Projectiles", KIND_INTEGER_LIST, species});
    input.Add({"Verbose", KIND_SWITCH, &verbose});
    input.Add({"GPInit[", KIND_TEXT, text, nullptr, sizeof text});
    input.Add({"Atom", KIND_ELEMENT, &atoms});
    input.Add({"SpecificPotential", KIND_POTENTIAL_PAIR, &potentials});
    input.Add(Parameter("XTal", KIND_LATTICE_SITE, &layer.Basis).OfLayer());
    input.Add(Parameter("XTal2", KIND_FULL_LATTICE_SITE, &layer.Basis).OfLayer());
    input.Add(Parameter("XMin", KIND_REAL, &layer.XMin).OfLayer());
    input.Add({"NextLayer", KIND_CLOSE_LAYER, &layers, &layer});
    input.Add({"Energy", KIND_REAL, &simulation.ENERGY});
    input.Add({"NextSimulation", KIND_CLOSE_SIMULATION, &simulations, &simulation});
  }
};

int Read(const TempDir& dir, const std::string& text, Vocabulary& v) {
  WriteFile(dir.File("p.in"), text);
  Input input(dir.File("p.in"));
  v.Register(input);
  return input.ReadParameters(0);
}

}  // namespace

TEST(Input, ReadsEveryValueKindAndSkipsOtherWords) {
  TempDir dir;
  Vocabulary v;
  const int matches = Read(dir,
                           "A comment Count 3.9 Dose 1e13 Dose 2e13 MyDose 5 dose 6\n"
                           "DIR 0 1 0 RS0 1.9 2.0 0.0 DoseDistribution 1e13 0.0\n"
                           "Projectiles 2 3 0 Verbose Yes GPInit[ set grid ]x\n"
                           "Atom Si 14 28.086 519 SpecificPotential 5 14 3\n",
                           v);
  EXPECT_EQ(matches, 11);
  EXPECT_EQ(v.count, 3);
  EXPECT_EQ(v.dose, 2e13);
  EXPECT_EQ(v.dir, Vector(0, 1, 0));
  EXPECT_EQ(std::vector<double>(v.rs0, v.rs0 + 5), (std::vector<double>{1.9, 2.0, 2.0, 2.0, 2.0}));
  EXPECT_EQ(std::vector<double>(v.pieces, v.pieces + 5), (std::vector<double>{1e13, 0, 0, 0, 0}));
  // The list ends at its 0: the entries after it are emptied.
  EXPECT_EQ(std::vector<int>(v.species, v.species + 4), (std::vector<int>{2, 3, 0, 0}));
  EXPECT_EQ(v.verbose, 1);
  EXPECT_STREQ(v.text, "set grid ");
  ASSERT_EQ(v.atoms.NumberOfElements(), 1);
  EXPECT_EQ(v.atoms.First().Z, 14);
  EXPECT_EQ(v.potentials.Type[5][14], 3);
  EXPECT_EQ(v.potentials.Type[14][5], 0);
}

TEST(Input, WarnsOfMistypedKeywordsAndOfWhatFollowsANumber) {
  TempDir dir;
  WriteFile(dir.File("p.in"),
            "The dose and the energy of the implant, in the prose.\n"
            "dose 6 Doses 7 Verbos On NextSimulaton\n"
            "Dose 5e13 at/cm2 Count 3,5 energy 1000 RS0 0.0\n");
  Vocabulary v;
  Input input(dir.File("p.in"));
  v.Register(input);
  input.ReadParameters(0);
  const std::string at = dir.File("p.in") + ", line ";
  const std::vector<std::string> expected = {
      at + "2: 'dose' is not a keyword, so it and the value after it are read as a comment: did "
           "you mean Dose?",
      at + "2: 'Doses' is not a keyword, so it and the value after it are read as a comment: did "
           "you mean Dose?",
      at + "2: 'Verbos' is not a keyword, so it and the value after it are read as a comment: did "
           "you mean Verbose?",
      at + "2: 'NextSimulaton' is not a keyword, so it and the value after it are read as a "
           "comment: did you mean NextSimulation?",
      at + "3: Dose 5e13 is followed by the unit 'at/cm2', which is not read: Dose is in "
           "at/cm^2, so the run uses 5e13 at/cm^2",
      at + "3: Count 3,5 is read as 3 and ',5' as a comment: write the number without separators",
      at + "3: 'energy' is not a keyword, so it and the value after it are read as a comment: did "
           "you mean Energy?",
      at + "3: RS0 ends before its first number, so it keeps the values it had"};
  EXPECT_EQ(input.Warnings(), expected);
  EXPECT_EQ(v.dose, 5e13);
  EXPECT_EQ(v.count, 3);
}

TEST(Input, CountsTruncateTowardZero) {
  TempDir dir;
  Vocabulary v;
  Read(dir, "Count -2.7", v);
  EXPECT_EQ(v.count, -2);
}

TEST(Input, ListsOfFiveAndACarriedListStartingWithZero) {
  TempDir dir;
  Vocabulary v;
  Read(dir, "RS0 1 2 3 4 5 0.0 DoseDistribution 0.0", v);
  EXPECT_EQ(std::vector<double>(v.rs0, v.rs0 + 5), (std::vector<double>{1, 2, 3, 4, 5}));
  EXPECT_EQ(std::vector<double>(v.pieces, v.pieces + 5), (std::vector<double>{0, 0, 0, 0, 0}));
  Vocabulary w;
  Read(dir, "RS0 0.0", w);
  // Nothing read, nothing to carry: the entries keep their values.
  EXPECT_EQ(std::vector<double>(w.rs0, w.rs0 + 5), (std::vector<double>(5, 1.85)));
}

TEST(Input, SwitchWords) {
  TempDir dir;
  for (const char* on : {"On", "Yes", "1"}) {
    Vocabulary v;
    Read(dir, std::string("Verbose ") + on, v);
    EXPECT_EQ(v.verbose, 1) << on;
  }
  for (const char* off : {"Off", "No", "0"}) {
    Vocabulary v;
    v.verbose = 1;
    Read(dir, std::string("Verbose ") + off, v);
    EXPECT_EQ(v.verbose, 0) << off;
  }
}

TEST(Input, ClosingRecordsAndTheImplicitClose) {
  TempDir dir;
  Vocabulary v;
  Read(dir,
       "XTal 1 6 0 0 0 15 XMin 10 NextLayer XTal2 1 2 0.75 6 0.25 0.25 0.25 15 20\n"
       "Energy 1000 NextSimulation Energy 2000\n",
       v);
  ASSERT_EQ(v.layers.NumberOfElements(), 2);
  Layer& first = v.layers.GetAt(1);
  EXPECT_EQ(first.XMin, 10);
  ASSERT_EQ(first.Basis.NumberOfElements(), 1);
  EXPECT_EQ(first.Basis.First().Type, 6);
  EXPECT_EQ(first.Basis.First().EnergyB, 15);
  Layer& second = v.layers.GetAt(2);
  EXPECT_EQ(second.XMin, 0);  // the template was reset by the first NextLayer
  ASSERT_EQ(second.Basis.NumberOfElements(), 1);
  const BasisAtom& mixed = second.Basis.First();
  EXPECT_EQ(mixed.SpeciesB, 2);
  EXPECT_EQ(mixed.Fraction, 0.75);
  EXPECT_EQ(mixed.EnergyB, 20);
  ASSERT_EQ(v.simulations.NumberOfElements(), 2);
  EXPECT_EQ(v.simulations.GetAt(1).ENERGY, 1000);
  EXPECT_EQ(v.simulations.GetAt(2).ENERGY, 2000);
}

TEST(Input, NoLayerIsClosedWithoutLayerKeywords) {
  TempDir dir;
  Vocabulary v;
  Read(dir, "Energy 1000", v);
  EXPECT_EQ(v.layers.NumberOfElements(), 0);
  EXPECT_EQ(v.simulations.NumberOfElements(), 1);
  Vocabulary w;
  Read(dir, "XMin 5 NextLayer Energy 1000", w);
  EXPECT_EQ(w.layers.NumberOfElements(), 1);
}

TEST(InputDeathTest, SyntaxErrorsStopWithTheirStatus) {
  TempDir dir;
  auto fails = [&](const std::string& text) {
    Vocabulary v;
    Read(dir, text, v);
  };
  EXPECT_EXIT(fails("Count 1\nGPInit[ set grid"), testing::ExitedWithCode(600 & 0xFF),
              "# Error: Input::ReadParameters, Incomplete string in .*p.in, line 2: GPInit\\[ "
              "has no closing \\]\n");
  EXPECT_EXIT(fails("RS0 1 2 3\n4 5 6 0.0"), testing::ExitedWithCode(601 & 0xFF),
              "# Error: Input::ReadParameters, RS0 token must end with 0.0 in .*p.in, line 2: '6' "
              "is one number too many\nMAXLAYER = 5\n");
  EXPECT_EXIT(fails("Projectiles 1 2 3 4 5 6 7 8 9 10 11 0"), testing::ExitedWithCode(601 & 0xFF),
              "Projectiles token must end with 0.0 in .*p.in, line 1: '11' is one number too "
              "many\nN_ATOMS = 10\n");
  EXPECT_EXIT(fails("\n\nVerbose true"), testing::ExitedWithCode(602 & 0xFF),
              "# Boolean error \\(Verbose\\) in: .*p.in, line 3: 'true' is not On/Off, Yes/No "
              "or 1/0\n");
  EXPECT_EXIT(fails("Verbose on"), testing::ExitedWithCode(602 & 0xFF), "Boolean error");
}

TEST(InputDeathTest, UnreadableValuesAreReportedNotIgnored) {
  TempDir dir;
  auto fails = [&](const std::string& text) {
    Vocabulary v;
    Read(dir, text, v);
  };
  EXPECT_EXIT(fails("Dose x1e13 Count 5"), testing::ExitedWithCode(603 & 0xFF),
              "# Error: Input::ReadParameters, Can't read the value of Dose in .*p.in, line 1: "
              "'x1e13' is not a number\n");
  EXPECT_EXIT(fails("Count abc"), testing::ExitedWithCode(603 & 0xFF), "value of Count");
  EXPECT_EXIT(fails("Count 1e12"), testing::ExitedWithCode(603 & 0xFF),
              "value of Count in .*p.in, line 1: '1e12' is beyond the whole numbers");
  EXPECT_EXIT(fails("DIR 1 0"), testing::ExitedWithCode(603 & 0xFF), "value of DIR");
  EXPECT_EXIT(fails("Dose"), testing::ExitedWithCode(603 & 0xFF),
              "value of Dose in .*p.in, line 1: the file ends there\n");
  // A comment that holds a keyword: the error names the line and the word
  // read as its value.
  EXPECT_EXIT(fails("Dose 1e13\nThe Dose of the implant\n"), testing::ExitedWithCode(603 & 0xFF),
              "value of Dose in .*p.in, line 2: 'of' is not a number\n");
  EXPECT_EXIT(fails("XTal 1 6 0 0\n0 fifteen"), testing::ExitedWithCode(603 & 0xFF),
              "value of XTal in .*p.in, line 2: 'fifteen' is not a number\n");
  EXPECT_EXIT(fails("Atom Si 14\n28.086 Debye"), testing::ExitedWithCode(603 & 0xFF),
              "value of Atom in .*p.in, line 2: 'Debye' is not a number\n");
}

TEST(InputDeathTest, OverlongWordsAndTextsAreRefused) {
  TempDir dir;
  auto fails = [&](const std::string& text) {
    Vocabulary v;
    Read(dir, text, v);
  };
  EXPECT_EXIT(fails(std::string(96, 'x')), testing::ExitedWithCode(604 & 0xFF),
              "A word longer than 95 characters");
  // The target holds 15 characters with the final blank.
  EXPECT_EXIT(fails("GPInit[ abcdefg hijklmn ]"), testing::ExitedWithCode(604 & 0xFF),
              "The text of GPInit\\[ is longer than 15 characters");
  EXPECT_EXIT(fails("GPInit[ " + std::string(256, 'y') + " ]"), testing::ExitedWithCode(604 & 0xFF),
              "longer than 255 characters");
}

TEST(InputDeathTest, ElementsAndPairsOutsideTheirLimits) {
  TempDir dir;
  auto fails = [&](const std::string& text) {
    Vocabulary v;
    Read(dir, text, v);
  };
  EXPECT_EXIT(fails("Atom Xx 103 300 300"), testing::ExitedWithCode(605 & 0xFF),
              "Atom Xx 103 .* is not an element");
  EXPECT_EXIT(fails("Atom Si 14 0 519"), testing::ExitedWithCode(605 & 0xFF), "is not an element");
  EXPECT_EXIT(fails("Atom si 14 28 519"), testing::ExitedWithCode(605 & 0xFF), "is not an element");
  EXPECT_EXIT(fails("SpecificPotential 100 14 1"), testing::ExitedWithCode(605 & 0xFF),
              "atomic numbers must lie in 0..99");
}

TEST(InputDeathTest, MissingFile) {
  Input input("/nonexistent/p.in");
  int x = 0;
  input.Add({"X", KIND_INTEGER, &x});
  EXPECT_EXIT(input.ReadParameters(0), testing::ExitedWithCode(300 & 0xFF),
              "# Error: Input::ReadParameters, Can't open /nonexistent/p.in\n");
}

TEST(Input, EchoFormat) {
  TempDir dir;
  Vocabulary v;
  WriteFile(dir.File("p.in"), "Count 100 Dose 1e13 Verbose On");
  Input input(dir.File("p.in"));
  v.Register(input);
  input.ReadParameters(1);
  input.SetFileName(dir.File("echo"));
  EXPECT_EQ(input.WriteParameters(), 17);
  const std::string echo = orvane_test::ReadFile(dir.File("echo"));
  EXPECT_NE(echo.find(std::string(20, ' ') + "Count = " + std::string(7, ' ') + "100\n"),
            std::string::npos);
  EXPECT_NE(echo.find(std::string(21, ' ') + "Dose = " + " 1.000e+13\n"), std::string::npos);
  EXPECT_NE(echo.find(std::string(18, ' ') + "Verbose = " + std::string(8, ' ') + "On\n"),
            std::string::npos);
  EXPECT_NE(echo.find("                  GPInit[ = \n"), std::string::npos);
  EXPECT_NE(echo.find("RS0 =      1.850,1.850,1.850,1.850,1.850,\n"), std::string::npos);
  EXPECT_EQ(echo.find("XTal2"), std::string::npos);
  Input missing(dir.File("p.in"));
  missing.SetFileName("/nonexistent/echo");
  testing::internal::CaptureStderr();
  EXPECT_EQ(missing.WriteParameters(), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: Input::WriteParameters, Can't open /nonexistent/echo\n");
}
