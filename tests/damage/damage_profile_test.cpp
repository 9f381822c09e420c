#include "damage/damage_profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <sstream>

#include "support/allocation_counter.h"
#include "support/test_support.h"

using namespace orvane;
using orvane_test::LimitFileSizeAsOnAFullDisk;
using orvane_test::ReadFile;
using orvane_test::TempDir;
using orvane_test::WriteFile;

namespace {

// A profile in which every displacement survives annealing.
DamageProfile FullSurvival(const std::string& directory, int mode) {
  DamageProfile p;
  p.CteD = 1.0;
  DamageSettings s;
  s.Mode = mode;
  p.StartSimulation(s, directory);
  return p;
}

std::string Line(const std::string& text, int number) {
  std::istringstream is(text);
  std::string line;
  for (int i = 0; i <= number; ++i) std::getline(is, line);
  return line;
}

}  // namespace

TEST(DamageProfile, ADeepDepositWidensTheCellsBeforeItIsAdded) {
  TempDir dir;
  DamageProfile p = FullSurvival(dir.Path(), 1);
  p.AddDamage(250.0, 10.0, 'I', 1.0, 300.0);
  EXPECT_FLOAT_EQ(p.Damage.Stop, 250.2f);
  EXPECT_FLOAT_EQ(p.Damage.Width, 2.502f);
  // Level 1: E = min(10 eV, 0.15 eV/A^3 of the 250.2 A^3 cell); 0.8 E / 30 eV displaced.
  EXPECT_DOUBLE_EQ(p.Displacements, 0.8 * 10.0 / 30.0);
  EXPECT_FLOAT_EQ(p.Damage.Cells[99], static_cast<float>(p.Retained / (100 * p.Damage.Width)));
  p.AddDamage(1.0, 1e6, 'I', 1.0, 300.0);  // bounded by the cut-off
  EXPECT_NEAR(p.Displacements - 0.8 / 3, 0.8 * 0.15 * 250.2 / 30.0, 1e-4);
}

TEST(DamageProfile, DisplacementsFollowTheKindAboveLevelOne) {
  TempDir dir;
  DamageProfile p = FullSurvival(dir.Path(), 2);
  p.AddDamage(5.0, 1e5, 'B', 1.0, 300.0);  // an atom set in motion: one Ed per unit weight
  EXPECT_DOUBLE_EQ(p.Displacements, 0.4);
  p.AddDamage(-3.0, 1e5, 'I', 1.0, 300.0);  // above the surface: nothing, but counted
  EXPECT_DOUBLE_EQ(p.Displacements, 0.4);
  EXPECT_EQ(p.Count, 2);
  p.AddDamage(5.0, 30.0, 'I', 1.0, 300.0);  // an atom left on its site: all it received
  EXPECT_DOUBLE_EQ(p.Displacements, 1.2);
}

TEST(DamageProfile, CellsSaturateAtTheAmorphizationDensity) {
  TempDir dir;
  DamageProfile p = FullSurvival(dir.Path(), 2);
  p.AddDamage(0.05, 1e9, 'I', 1.0, 300.0);
  EXPECT_FLOAT_EQ(p.Damage.Cells[0], static_cast<float>(p.AmorphizationDensity));
  const double retained = p.Retained;
  p.AddDamage(0.05, 1e9, 'I', 1.0, 300.0);  // amorphous: nothing more is retained
  EXPECT_EQ(p.Retained, retained);
  p.AddDamage(0.15, 1.0, 'I', 1.0, 0.0);  // at 0 K everything survives
  EXPECT_EQ(p.SurvivingFraction, 1.0);
}

TEST(DamageProfile, AnnealingWithTheConfiguredConstantsLeavesLittle) {
  TempDir dir;
  DamageProfile p;
  p.CteB = 1e-21;
  p.StartSimulation(DamageSettings(), dir.Path());
  p.AddDamage(1.0, 10.0, 'I', 1.0, 300.0);
  EXPECT_NEAR(p.SurvivingFraction, 1.62e-13 * 1e11 * 1e-30, 1e-40);
}

TEST(DamageProfile, SavedProfileReadsBackAndSavesIdentically) {
  TempDir dir;
  DamageProfile p = FullSurvival(dir.Path(), 2);
  p.SaveAmorph(dir.Path());
  const std::string fresh = ReadFile(dir.File("Amorph1D.dat"));
  EXPECT_EQ(fresh.substr(0, 35), "# 0 10 0.1\n0 0 0\n0.01 0 0\n0.02 0 0\n");
  for (int i = 0; i < 300; ++i) p.AddDamage(i * 0.7, 7.0 + i % 13, 'I', 1.0, 300.0);
  p.SaveAmorph(dir.Path());
  const std::string saved = ReadFile(dir.File("Amorph1D.dat"));
  EXPECT_EQ(Line(saved, 0), "# 0 210.14743 2.10147429");  // nine digits where six do not read back
  EXPECT_EQ(Line(saved, 101), "# Distance(nm) defects/A^3  percentage_of_amorphization");
  EXPECT_EQ(Line(saved, 102), "");

  TempDir other;
  DamageProfile q;
  DamageSettings s;
  s.PreviousDamageFile = dir.File("Amorph1D.dat") + " ";
  testing::internal::CaptureStdout();
  q.StartSimulation(s, other.Path());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "# Reading (" + dir.File("Amorph1D.dat") + ")\n");
  EXPECT_EQ(q.Damage.Start, p.Damage.Start);
  EXPECT_EQ(q.Damage.Stop, p.Damage.Stop);
  EXPECT_EQ(q.Damage.Width, p.Damage.Width);
  for (int i = 0; i < VarHist::kCells; ++i) EXPECT_EQ(q.Damage.Cells[i], p.Damage.Cells[i]) << i;
  q.SaveAmorph(other.Path());
  EXPECT_EQ(ReadFile(other.File("Amorph1D.dat")), saved);
}

namespace {

// The file's identity on disk: a save writes a new file in its place.
ino_t InodeOf(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

}  // namespace

TEST(DamageProfile, AProfileSavedAlreadyIsNotWrittenAgainWhileItsFileIsThere) {
  TempDir dir;
  const std::string path = dir.File("Amorph1D.dat");
  DamageProfile p = FullSurvival(dir.Path(), 2);
  p.SaveAmorph(dir.Path());
  const ino_t first = InodeOf(path);
  p.SaveAmorph(dir.Path());
  EXPECT_EQ(InodeOf(path), first);
  // Cells widened without damage, damage, another density: written.
  for (const auto change : {+[](DamageProfile& q) { q.Damage.Rebin(0.0f, 20.0f); },
                            +[](DamageProfile& q) { q.AddDamage(5.0, 7.0, 'I', 1.0, 300.0); },
                            +[](DamageProfile& q) { q.AmorphizationDensity *= 2.0; }}) {
    const ino_t before = InodeOf(path);
    const std::string text = ReadFile(path);
    change(p);
    p.SaveAmorph(dir.Path());
    EXPECT_NE(InodeOf(path), before);
    EXPECT_NE(ReadFile(path), text);
  }
  const std::string last = ReadFile(path);
  std::remove(path.c_str());  // a file taken away comes back
  p.SaveAmorph(dir.Path());
  EXPECT_EQ(ReadFile(path), last);
  TempDir other;  // and another directory gets its own
  p.SaveAmorph(other.Path());
  EXPECT_EQ(ReadFile(other.File("Amorph1D.dat")), last);
}

TEST(DamageProfileDeathTest, UnusablePreviousFilesStopTheRun) {
  TempDir dir;
  DamageSettings s;
  s.PreviousDamageFile = dir.File("none.dat") + " ";
  DamageProfile p;
  EXPECT_EXIT(p.StartSimulation(s, dir.Path()), testing::ExitedWithCode(300 & 0xFF),
              "^# I can't open \\(" + dir.File("none.dat") + "\\)\n$");
  WriteFile(dir.File("short.dat"), "# 0 10 0.1\n0 0 0\n0.01 0 0\n");
  s.PreviousDamageFile = dir.File("short.dat") + " ";
  EXPECT_EXIT(p.StartSimulation(s, dir.Path()), testing::ExitedWithCode(300 & 0xFF),
              "^# Error: DamageProfile::StartSimulation, Previous damage file \\(.*short.dat\\) "
              "ends early or holds no numbers at cell 2 of 100\n$");
  WriteFile(dir.File("words.dat"), "# Distance(nm) defects/A^3\n");
  s.PreviousDamageFile = dir.File("words.dat") + " ";
  EXPECT_EXIT(p.StartSimulation(s, dir.Path()), testing::ExitedWithCode(300 & 0xFF),
              "words.dat\\) ends early or holds no numbers at its first line\n$");
  EXPECT_EXIT(p.SaveAmorph(dir.File("missing")), testing::ExitedWithCode(301 & 0xFF),
              "^# I can't write in " + dir.File("missing") + "/Amorph1D.dat\n$");
  EXPECT_EXIT((LimitFileSizeAsOnAFullDisk(300), p.SaveAmorph(dir.Path())),
              testing::ExitedWithCode(301 & 0xFF),
              "^# I can't write in " + dir.File("Amorph1D.dat") + "\n$");
}

TEST(DamageProfile, EveryTenThousandthDepositSavesWithoutAllocatingBetween) {
  TempDir dir;
  DamageProfile p = FullSurvival(dir.Path(), 2);
  p.AddDamage(1.0, 1.0, 'I', 1.0, 300.0);
  const long before = orvane_test::Allocations();
  for (int i = 1; i < 10000; ++i) p.AddDamage(i * 0.01, 1.0, 'I', 1.0, 300.0);  // rebins too
  EXPECT_EQ(orvane_test::Allocations(), before);
  EXPECT_FALSE(orvane_test::FileExists(dir.File("Amorph1D.dat")));
  p.AddDamage(1.0, 1.0, 'I', 1.0, 300.0);
  EXPECT_TRUE(orvane_test::FileExists(dir.File("Amorph1D.dat")));
}

TEST(DamageProfile, SumsOfDepositsSaveTheProfileWhereTheirDepositsWould) {
  TempDir dir;
  DamageProfile p = FullSurvival(dir.Path(), 2);
  const std::string path = dir.File("Amorph1D.dat");
  DepositSums sums;
  sums.Count = 10000;  // deposits 0 .. 9999: the first saves nothing
  p.AddSums(sums);
  EXPECT_FALSE(orvane_test::FileExists(path));
  sums.Count = 1;  // deposit 10000 saves
  p.AddSums(sums);
  EXPECT_TRUE(orvane_test::FileExists(path));
  std::remove(path.c_str());
  sums.Count = 9999;  // 10001 .. 19999
  p.AddSums(sums);
  EXPECT_FALSE(orvane_test::FileExists(path));
  sums.Count = 30000;  // past 20000, 30000 and 40000
  p.AddSums(sums);
  EXPECT_TRUE(orvane_test::FileExists(path));
  EXPECT_EQ(p.Count, 50000);
  sums.Count = 0;
  std::remove(path.c_str());
  p.AddSums(sums);
  EXPECT_FALSE(orvane_test::FileExists(path));
}

TEST(DamageProfile, TallyOfTheIonFoldsAndResetsItsSums) {
  TempDir dir;
  DamageProfile p;
  p.Displacements = 4.0;
  const double first = p.FoldCrossSection(0.0, 100.0, 1);  // 4 / (100 A * 5e22 /cm^3 * 1e-8)
  EXPECT_DOUBLE_EQ(first, 8e-17);
  EXPECT_EQ(p.Displacements, 0.0);
  EXPECT_DOUBLE_EQ(p.FoldCrossSection(first, 0.0, 2), 4e-17);  // no path, no cross-section
  p.Retained = 0.25;
  AppendingFile file;
  file.Open(dir.File("DDBC_1D.dat"), "test");
  p.AppendRetained(file);
  p.AppendRetained(file);
  file.Close();
  EXPECT_EQ(ReadFile(dir.File("DDBC_1D.dat")), "0.250000\n0.000000\n");
}
