#include "run/join_splitting.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "tally/profile_files.h"

using namespace orvane;
using orvane_test::FileExists;
using orvane_test::ReadFile;
using orvane_test::TempDir;
using orvane_test::WriteFile;

namespace {

const char* kTrailer =
    "# The two first numbers after the # means:\n"
    "#  Trajectories, Real ions = NumberOfImplants*EffectiveWeigth, Virtual ions\n"
    "# Next numbers are:\n"
    "#  Depth(nm), Conc. (at/cm^3)\n";

Simulation Piece(int splitting, int32_t species = 1) {
  Simulation s;
  s.Projectiles[0] = species;
  s.DoseSplitting = splitting;
  return s;
}

// A piece profile as the statistics report writes it: 100 lines of depth
// (nm, bins of step), concentration and error band.
void WritePiece(const std::string& path, const std::string& header, double step,
                const std::vector<double>& conc) {
  std::ostringstream text;
  text << header << "\n";
  for (int i = 0; i < 100; ++i) {
    const double c = i < static_cast<int>(conc.size()) ? conc[i] : 0.0;
    text << i * step << " " << c << " " << 0.9 * c << " " << 1.1 * c << "\n";
  }
  WriteFile(path, text.str());
}

struct Joined {
  std::string header;
  std::vector<double> depth, conc;
  std::string trailer;
};

Joined ReadJoined(const std::string& path) {
  Joined j;
  std::istringstream in(ReadFile(path));
  std::getline(in, j.header);
  for (std::string line; std::getline(in, line);) {
    if (line[0] == '#') {
      j.trailer += line + "\n";
      continue;
    }
    std::istringstream numbers(line);
    double d, c;
    numbers >> d >> c;
    j.depth.push_back(d);
    j.conc.push_back(c);
  }
  return j;
}

std::string Join(const SimulationList& list, const std::string& directory) {
  testing::internal::CaptureStdout();
  JoinSplitting(list, directory, "H");
  return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(JoinSplitting, FileNames) {
  EXPECT_EQ(PieceFileName("D", "Histo1D.", 3, 1), "D/.Histo1D.03_01");
  EXPECT_EQ(JoinedFileName("D", "Histo1D.", 2, 10), "D/Histo1D.02_10");
}

TEST(JoinSplitting, UnsplitSimulationsAreGroupsOfOnePiece) {
  TempDir dir;
  SimulationList list;
  list.Add(Piece(0));
  list.Add(Piece(0));
  // Cells above 57 are empty: 58 data lines are written.
  WritePiece(dir.File(".H01_01"), "# 100 2.5 120 3e+18", 0.1, std::vector<double>(58, 4e20));
  WritePiece(dir.File(".H02_01"), "# 50 1 50 0", 0.2, {1e19, 2e19});
  const std::string out = Join(list, dir.Path());
  EXPECT_EQ(out, "Reading ... " + dir.File(".H01_01") + "\n" +
                     "# 100 2.5 120 3e+18\n"
                     "Profile 1 (Prof= 9.9 ) N=99\n"
                     "Writting ... " +
                     dir.File("H01_01") + "\n" + "Reading ... " + dir.File(".H02_01") + "\n" +
                     "# 50 1 50 0\n"
                     "Profile 1 (Prof= 19.8 ) N=99\n"
                     "Writting ... " +
                     dir.File("H02_01") + "\n");
  const Joined first = ReadJoined(dir.File("H01_01"));
  EXPECT_EQ(first.header, "# 100 2.5 120 3e+18");
  ASSERT_EQ(first.conc.size(), 58u);
  EXPECT_EQ(first.depth[57], 5.7);
  EXPECT_EQ(first.conc[57], 4e20);
  EXPECT_EQ(first.trailer, kTrailer);
  EXPECT_EQ(ReadFile(dir.File("H02_01")),
            std::string("# 50 1 50 0\n0 1e+19\n0.2 2e+19\n") + kTrailer);
}

TEST(JoinSplitting, PiecesOfASplitSimulationAreSummedIntoOneGroup) {
  TempDir dir;
  SimulationList list;
  list.Add(Piece(1));  // 1e14
  list.Add(Piece(0));  // 9e14
  list.Add(Piece(0));  // an unsplit simulation, number 03
  WritePiece(dir.File(".H01_01"), "# 10 1 10 0", 0.1, {1e19, 2e19, 3e19});
  WritePiece(dir.File(".H02_01"), "# 10 9 10 0", 0.1, {4e19, 5e19});
  WritePiece(dir.File(".H03_01"), "# 7 7 7 0", 0.1, {6e19});
  const std::string out = Join(list, dir.Path());
  EXPECT_NE(out.find("Reading ... " + dir.File(".H02_01") + "\n# 10 9 10 0\n" +
                     "Perfil 2 (Prof= 9.9 ) N=99\n"),
            std::string::npos)
      << out;
  // The header is that of the whole dose: the sum of the pieces'.
  EXPECT_EQ(ReadFile(dir.File("H01_01")),
            std::string("# 20 10 20 0\n0 5e+19\n0.1 7e+19\n0.2 3e+19\n") + kTrailer);
  EXPECT_EQ(ReadFile(dir.File("H02_01")), std::string("# 7 7 7 0\n0 6e+19\n") + kTrailer);
  EXPECT_FALSE(FileExists(dir.File("H03_01")));
}

// Profiles over different depths are summed over the deeper range; the
// re-binning keeps each profile's integral.
TEST(JoinSplitting, DeeperPieceRebinsTheOther) {
  TempDir dir;
  for (int deeperFirst = 0; deeperFirst < 2; ++deeperFirst) {
    SimulationList list;
    list.Add(Piece(1));
    list.Add(Piece(0));
    const double shallowStep = 0.1, deepStep = 0.2;  // ranges 10 and 20 nm
    WritePiece(dir.File(".H01_01"), "# 1 1 1 0", deeperFirst ? deepStep : shallowStep,
               std::vector<double>(100, deeperFirst ? 2e18 : 1e18));
    WritePiece(dir.File(".H02_01"), "# 2 2 2 0", deeperFirst ? shallowStep : deepStep,
               std::vector<double>(100, deeperFirst ? 1e18 : 2e18));
    Join(list, dir.Path());
    const Joined j = ReadJoined(dir.File("H01_01"));
    ASSERT_EQ(j.conc.size(), 100u) << deeperFirst;
    EXPECT_NEAR(j.depth[99], 19.8, 1e-5);
    double integral = 0.0;
    for (int i = 0; i < 100; ++i) {
      EXPECT_NEAR(j.conc[i], i < 50 ? 3e18 : 2e18, 1e13) << "cell " << i;
      integral += j.conc[i] * 0.2;
    }
    EXPECT_NEAR(integral, 1e18 * 10 + 2e18 * 20, 1e14);
  }
}

TEST(JoinSplitting, ProfilesOfTheReportAreReadBack) {
  TempDir dir;
  Hist h;
  h.Initialize(0, 1e10, 1e14);
  for (int i = 0; i <= 200; ++i) h.Add(i * 1.5, 1.0 + i % 3, 0.0, IMPLANTED_ION, i + 1);
  h.Compute();
  SaveHisto(h, 4, dir.Path(), "H01", true, 201, 201);
  SimulationList list;
  list.Add(Piece(0, 4));
  Join(list, dir.Path());
  const Joined j = ReadJoined(dir.File("H01_04"));
  ASSERT_EQ(j.conc.size(), 100u);
  const double scale = ConcentrationScale(h);
  for (int i = 0; i < 100; ++i) {
    EXPECT_NEAR(j.depth[i], i * h.Deepest / 1000.0, 1e-5);
    EXPECT_NEAR(j.conc[i], scale * h.Conc[i], 1e-5 * scale * h.Conc[i]);
  }
}

TEST(JoinSplitting, EmptyFirstSlotStandsForTheImplantedElement) {
  TempDir dir;
  SimulationList list;
  Simulation s = Piece(0, 0);
  s.ImplantedElement = 3;
  list.Add(s);
  WritePiece(dir.File(".H01_03"), "# 1 1 1 0", 0.1, {1e18});
  Join(list, dir.Path());
  EXPECT_TRUE(FileExists(dir.File("H01_03")));
}

TEST(JoinSplitting, MissingProfilesAreReportedAndLeftOut) {
  TempDir dir;
  SimulationList list;
  Simulation first = Piece(1, 1);
  first.Projectiles[1] = 2;
  list.Add(first);
  Simulation last = first;
  last.DoseSplitting = 0;
  list.Add(last);
  WritePiece(dir.File(".H01_01"), "# 1 1 1 0", 0.1, {1e18});
  // Species 2 has no first piece; species 1 has no second one.
  WritePiece(dir.File(".H02_02"), "# 2 2 2 0", 0.1, {2e18});
  testing::internal::CaptureStderr();
  Join(list, dir.Path());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Error: JoinSplitting, Can't open " + dir.File(".H01_02") +
                ": species 2 of group 1 is not joined\n" + "Error\n");
  EXPECT_EQ(ReadFile(dir.File("H01_01")), std::string("# 1 1 1 0\n0 1e+18\n") + kTrailer);
  EXPECT_FALSE(FileExists(dir.File("H01_02")));
}

// The tenth piece of a simulation may keep its switch on when dose is left
// over: the group still ends there.
TEST(JoinSplitting, TenthPieceEndsItsGroup) {
  TempDir dir;
  SimulationList list;
  for (int s = 1; s <= 11; ++s) {
    list.Add(Piece(s <= 10 ? 1 : 0));
    char name[32];
    std::snprintf(name, sizeof name, ".H%02d_01", s);
    WritePiece(dir.File(name), "# 1 1 1 0", 0.1, {1e18});
  }
  Join(list, dir.Path());
  EXPECT_EQ(ReadFile(dir.File("H01_01")), std::string("# 10 10 10 0\n0 1e+19\n") + kTrailer);
  EXPECT_EQ(ReadFile(dir.File("H02_01")), std::string("# 1 1 1 0\n0 1e+18\n") + kTrailer);
}

TEST(JoinSplitting, GroupsOfTheListAndThePiecesTheyHold) {
  SimulationList list;
  for (int splitting : {0, 1, 1, 0, 0, 1}) list.Add(Piece(splitting));
  const std::vector<DoseGroup> groups = DoseGroups(list);
  ASSERT_EQ(groups.size(), 4u);
  EXPECT_EQ(groups[0].FirstPiece, 1);
  EXPECT_EQ(groups[0].Pieces, 1);
  EXPECT_EQ(groups[1].FirstPiece, 2);
  EXPECT_EQ(groups[1].LastPiece(), 4);
  EXPECT_TRUE(groups[1].Complete);
  EXPECT_EQ(groups[2].FirstPiece, 5);
  EXPECT_EQ(groups[3].FirstPiece, 6);
  EXPECT_FALSE(groups[3].Complete);  // the list ends before its last piece
  EXPECT_EQ(GroupOfPiece(groups, 1), 0);
  EXPECT_EQ(GroupOfPiece(groups, 3), 1);
  EXPECT_EQ(GroupOfPiece(groups, 4), 1);
  EXPECT_EQ(GroupOfPiece(groups, 5), 2);
  EXPECT_EQ(GroupOfPiece(groups, 7), -1);
}

// The join hands back what it wrote, with the level of one ion of the
// heaviest piece, spread over the wider cells of the sum.
TEST(JoinSplitting, JoinedProfilesAreReturnedAsWritten) {
  TempDir dir;
  SimulationList list;
  list.Add(Piece(1));
  list.Add(Piece(0));
  WritePiece(dir.File(".H01_01"), "# 10 1 10 0", 0.1, {1e19, 2e19, 3e19});
  WritePiece(dir.File(".H02_01"), "# 10 9 10 0", 0.2, {4e19, 5e19});
  testing::internal::CaptureStdout();
  const std::vector<JoinedProfile> joined = JoinSplitting(list, dir.Path(), "H");
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(joined.size(), 1u);
  const JoinedProfile& j = joined[0];
  EXPECT_EQ(j.FileName, dir.File("H01_01"));
  EXPECT_EQ(j.Group.Pieces, 2);
  EXPECT_EQ(j.Species, 1);
  const Joined file = ReadJoined(j.FileName);
  ASSERT_EQ(static_cast<std::size_t>(j.Profile.Count()), file.conc.size());
  for (int i = 0; i < j.Profile.Count(); ++i) {
    EXPECT_NEAR(j.Profile.Cells[i] / file.conc[i], 1.0, 1e-5) << i;
    EXPECT_NEAR(j.Profile.Depth(i) * 0.1, file.depth[i], 1e-5) << i;
  }
  // The first piece's smallest, 1e19 in cells of 0.1 nm, is 5e18 in cells
  // of 0.2 nm; the second's, 4e19, stays in cells of its own width.
  EXPECT_NEAR(j.OneIonConcentration / 4e19, 1.0, 1e-5);
}

TEST(JoinSplittingDeathTest, GroupWithoutItsLastPiece) {
  TempDir dir;
  SimulationList list;
  list.Add(Piece(1));
  WritePiece(dir.File(".H01_01"), "# 1 1 1 0", 0.1, {1e18});
  EXPECT_EXIT(Join(list, dir.Path()), testing::ExitedWithCode(406 & 0xFF),
              "^# Error en MAINLOOP: JoinSplitting\\(\\)\n$");
  SimulationList empty;
  EXPECT_DEATH(Join(empty, dir.Path()), "Begin!=NULL, unit list, line 135");
}

TEST(JoinSplitting, PiecesWithoutImplantedIonsAreReportedNotJoined) {
  TempDir dir;
  SimulationList flat;
  flat.Add(Piece(0));
  WritePiece(dir.File(".H01_01"), "# 1 1 1 0", 0.0, {1e18});  // every depth 0
  testing::internal::CaptureStderr();
  Join(flat, dir.Path());
  EXPECT_NE(testing::internal::GetCapturedStderr().find(
                ".H01_01 holds no implanted ion: species 1 of group 1 is not joined"),
            std::string::npos);
  EXPECT_FALSE(orvane_test::FileExists(dir.File("H01_01")));

  SimulationList split;
  split.Add(Piece(1));
  split.Add(Piece(0));
  WritePiece(dir.File(".H01_01"), "# 1 1 1 0", 0.1, {1e18});
  WritePiece(dir.File(".H02_01"), "# 1 1 1 0", 0.0, {1e18});
  testing::internal::CaptureStderr();
  Join(split, dir.Path());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("left out of the sum"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("H01_01")), std::string("# 1 1 1 0\n0 1e+18\n") + kTrailer);
}
