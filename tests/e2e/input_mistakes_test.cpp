// End-to-end runs of parameter files and command lines with the mistakes a
// new user makes: each is said (a warning, or a refusal with its status and
// its place), never run silently as something else.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"

using namespace orvane_test;

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

RunResult RunWith(const TempDir& dir, const std::string& options, const std::string& parameters) {
  WriteFile(dir.File("p.in"), parameters);
  return RunOrvane(dir.Path(), options, TablesEnvironment(dir));
}

}  // namespace

TEST(InputMistakes, TyposAndUnitsAreWarnedAboutAndRefusedUnderStrict) {
  const std::string parameters =
      "Boron, implanted at the energy of the process:\n"
      "ENERGIE 30000\n"
      "Energy 30000 NumberofImplants 200 Temperatur 77\n"
      "ENERGY 30 keV Dose 1e14 Tha 7\n"
      "NumberOfImplants 2\n";
  TempDir dir;
  const RunResult r = RunWith(dir, "p.in", parameters);
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* warning :
       {"# Warning: p.in, line 2: 'ENERGIE' is not a keyword, so it and the value after it are "
        "read as a comment: did you mean ENERGY?\n",
        "p.in, line 3: 'Energy' is not a keyword", "did you mean NumberOfImplants?",
        "did you mean Temperature?",
        "# Warning: p.in, line 4: ENERGY 30 is followed by the unit 'keV', which is not read: "
        "ENERGY is in eV, so the run uses 30 eV\n"}) {
    EXPECT_TRUE(Contains(r.err, warning)) << warning << "\n" << r.err;
  }
  // The prose of the first line mentions the energy without a value: quiet.
  EXPECT_FALSE(Contains(r.err, "line 1")) << r.err;
  // The summary says what was run, and the warnings again.
  EXPECT_TRUE(Contains(r.out, "#   Implant                 = B at 30 eV, tilt 7 deg, twist 0 deg, "
                              "dose 1e+14 at/cm^2, 2 ions\n"))
      << r.out;
  EXPECT_TRUE(Contains(r.out, "#   Warning                 = p.in, line 2: 'ENERGIE'")) << r.out;

  TempDir strict;
  const RunResult refused = RunWith(strict, "--strict p.in", parameters);
  EXPECT_EQ(refused.status, 609 & 0xFF);
  EXPECT_TRUE(Contains(refused.err, "did you mean ENERGY?")) << refused.err;
  EXPECT_TRUE(Contains(refused.err, "# Error: Configure, --strict refuses p.in for the 5 warnings "
                                    "above\n"))
      << refused.err;
  EXPECT_FALSE(FileExists(strict.File("Dp.in")));

  // A thousands separator reads as the number before it.
  TempDir comma;
  const RunResult separated = RunWith(comma, "--strict p.in", "ENERGY 30,000\n");
  EXPECT_EQ(separated.status, 609 & 0xFF);
  EXPECT_TRUE(Contains(separated.err, "p.in, line 1: ENERGY 30,000 is read as 30 and ',000' as a "
                                      "comment: write the number without separators"))
      << separated.err;
}

TEST(InputMistakes, AnEmptyFileRunsTheDefaultsWithOneWarning) {
  TempDir dir;
  const RunResult r = RunWith(dir, "p.in", "");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Contains(r.err, "# Warning: p.in holds no keyword: the run uses the defaults, boron "
                              "at 200 eV into silicon (100), 10 ions\n"))
      << r.err;
  EXPECT_EQ(r.err.find("# Warning"), r.err.rfind("# Warning")) << r.err;
}

TEST(InputMistakes, ValuesTheRunCannotUseAreRefusedWhenTheFileIsRead) {
  const struct {
    const char* parameters;
    const char* message;
  } cases[] = {
      {"NumberOfImplants -100",
       "# Error: Configure, NumberOfImplants must not be negative in simulation 1: -100\n"},
      {"ENERGY 1e12",
       "# Error: Configure, ENERGY 1e+12 eV in simulation 1 is beyond the collision tables: they "
       "end at 8254041.852 eV (8.25 MeV) for each atom of the ion\n"},
      {"ENERGY 3000000 NextSimulation ENERGY 10000000", "ENERGY 1e+07 eV in simulation 2"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const RunResult r = RunWith(dir, "p.in", c.parameters);
    EXPECT_EQ(r.status, 606 & 0xFF) << c.parameters << "\n" << r.err;
    EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    EXPECT_FALSE(FileExists(dir.File("Dp.in"))) << c.parameters;
  }
  // A molecule shares its energy: BF2 at 20 MeV gives each F atom 7.75 MeV.
  TempDir molecule;
  const RunResult shared =
      RunWith(molecule, "p.in",
              "Atom B 5 11.009 519 Atom F 9 18.998 0 Atom Si 14 28.086 519\n"
              "XTal 3 6 0 0 0 15 XTal 3 6 0.25 0.25 0.25 15 NextLayer\n"
              "Projectiles 1 2 2 0 ENERGY 2e7 NumberOfImplants 0 NextSimulation ENERGY 3e7\n");
  EXPECT_EQ(shared.status, 606 & 0xFF) << shared.err;
  EXPECT_TRUE(Contains(shared.err, "ENERGY 3e+07 eV in simulation 2 gives F ")) << shared.err;
}

TEST(InputMistakes, OptionsAfterTheFileAreObeyedOrRefused) {
  const std::string parameters = "ENERGY 2000 Tha 7 NumberOfImplants 4\n";
  TempDir before, after;
  const RunResult a = RunWith(before, "--threads 2 p.in", parameters);
  const RunResult b = RunWith(after, "p.in --threads 2", parameters);
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(ReadFile(before.File("Dp.in/Histo1D.01_01")), ReadFile(after.File("Dp.in/Histo1D.01_01")));
  TempDir typo;
  const RunResult refused = RunWith(typo, "p.in --thread 2", parameters);
  EXPECT_EQ(refused.status, 607 & 0xFF);
  EXPECT_TRUE(Contains(refused.err, "# Error: unknown option '--thread'\n")) << refused.err;
}

TEST(InputMistakes, AShorterListInALaterSimulationEndsAtItsTerminator) {
  TempDir dir;
  const RunResult r =
      RunWith(dir, "p.in",
              "Atom B 5 11.009 519 Atom F 9 18.998 0 Atom Si 14 28.086 519\n"
              "XTal 3 6 0 0 0 15 XTal 3 6 0.25 0.25 0.25 15 NextLayer\n"
              "Projectiles 1 2 2 0 ENERGY 10000 NumberOfImplants 1 NextSimulation\n"
              "Projectiles 1 0\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string echo = ReadFile(dir.File("Dp.in/Parameters.out"));
  EXPECT_TRUE(Contains(echo, "Implanted atoms 1, 2, 2, 0, 0, 0, 0, 0, 0, 0\n")) << echo;
  EXPECT_TRUE(Contains(echo, "Implanted atoms 1, 0, 0, 0, 0, 0, 0, 0, 0, 0\n")) << echo;
  EXPECT_TRUE(Contains(r.out, "Implant                 = B at 10000 eV")) << r.out;
  EXPECT_FALSE(FileExists(dir.File("Dp.in/Histo1D.02_02")));
}

TEST(OutputDirectory, ASecondRunIsRefusedWhileAnotherHoldsTheDirectory) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("Dp.in"));
  // This process holds the lock, as a run in progress would.
  const int lock = ::open(dir.File("Dp.in/.orvane.lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_GE(lock, 0);
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  ASSERT_EQ(::fcntl(lock, F_SETLK, &whole), 0);
  const RunResult refused = RunWith(dir, "p.in", "NumberOfImplants 1\n");
  EXPECT_EQ(refused.status, 610 & 0xFF);
  EXPECT_EQ(refused.err, "# Error: another run (process " + std::to_string(::getpid()) +
                             ") is writing into Dp.in: one run at a time per output directory; "
                             "wait for it to end, or run a copy of the parameter file under "
                             "another name\n");
  EXPECT_FALSE(FileExists(dir.File("Dp.in/Parameters.out")));
  ::close(lock);
  const RunResult next = RunWith(dir, "p.in", "NumberOfImplants 1\n");
  EXPECT_EQ(next.status, 0) << next.err;
}

TEST(OutputDirectory, ARerunRemovesTheResultsItDoesNotWriteAgain) {
  TempDir dir;
  const RunResult first =
      RunWith(dir, "p.in", "ENERGY 2000 NumberOfImplants 3 NextSimulation Tha 7\n");
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_TRUE(FileExists(dir.File("Dp.in/Histo1D.02_01")));
  WriteFile(dir.File("Dp.in/notes.txt"), "mine\n");
  std::filesystem::copy_file(dir.File("Dp.in/Amorph1D.dat"), dir.File("Dp.in/start.dat"));
  // The damage a run starts from stays, even where a result's name would go.
  std::filesystem::rename(dir.File("Dp.in/start.dat"), dir.File("Dp.in/Start_01"));
  const RunResult second = RunWith(
      dir, "p.in", "ENERGY 2000 NumberOfImplants 3 PreviousDamageFile[ Dp.in/Start_01 ]\n");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_TRUE(Contains(second.err, " result files of an earlier run from Dp.in: ")) << second.err;
  EXPECT_TRUE(Contains(second.err, " Histo1D.02_01")) << second.err;
  EXPECT_FALSE(Contains(second.err, "Start_01")) << second.err;
  EXPECT_FALSE(Contains(second.err, "notes.txt")) << second.err;
  EXPECT_FALSE(FileExists(dir.File("Dp.in/Histo1D.02_01")));
  EXPECT_FALSE(FileExists(dir.File("Dp.in/.Histo1D.02_01")));
  EXPECT_TRUE(FileExists(dir.File("Dp.in/Histo1D.01_01")));
  EXPECT_TRUE(FileExists(dir.File("Dp.in/notes.txt")));
  EXPECT_TRUE(FileExists(dir.File("Dp.in/Start_01")));
}
