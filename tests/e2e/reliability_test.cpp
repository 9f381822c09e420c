// Runs that must end well whatever they meet: rare-event splitting that
// would copy one ion without end, and runs interrupted by a signal.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "support/test_support.h"

using namespace orvane_test;

namespace {

// The first line of a profile: "# ions real-ions virtual-ions outside".
struct ProfileHeader {
  long ions = 0;
  double realIons = 0;
  long virtualIons = 0;
};

ProfileHeader ReadProfileHeader(const std::string& path) {
  std::istringstream is(ReadFile(path));
  ProfileHeader h;
  std::string mark;
  is >> mark >> h.ions >> h.realIons >> h.virtualIons;
  return h;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

std::size_t LineCount(const std::string& path) { return Count(ReadFile(path), "\n"); }

// Starts the binary on "p.in" in the directory, with its own tables and
// the default action of the signals, as a run started from a terminal.
pid_t StartOrvane(const TempDir& dir) {
  const std::string tables = OwnTables(dir);
  const pid_t pid = fork();
  if (pid == 0) {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (chdir(dir.Path().c_str()) != 0) _exit(127);
    setenv("TABLES3DDIR", tables.c_str(), 1);
    setenv("EDTDIR", tables.c_str(), 1);
    if (!freopen("out", "w", stdout) || !freopen("err", "w", stderr)) _exit(127);
    execl(ORVANE_BINARY, ORVANE_BINARY, "p.in", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

}  // namespace

// An interrupted run keeps the results of the ions done so far.
TEST(Interruption, SigintAndSigtermWriteTheResultsSoFarAndEndWith128PlusTheSignal) {
  for (int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    WriteFile(dir.File("p.in"), "ENERGY 2000 NumberOfImplants 200000 PearsonIV On ASCII On\n");
    const pid_t pid = StartOrvane(dir);
    ASSERT_GT(pid, 0);
    const std::string perIon = dir.File("Dp.in/MaxAmorf_vs_Dose.dat");
    for (int wait = 0; wait < 600 && LineCount(perIon) < 20; ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid, signal);
    int raw = 0;
    ASSERT_EQ(waitpid(pid, &raw, 0), pid);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 128 + signal);

    const long ions = static_cast<long>(LineCount(perIon));
    EXPECT_GE(ions, 20);
    EXPECT_LT(ions, 200000);
    const std::string err = ReadFile(dir.File("err"));
    EXPECT_NE(err.find("# Interrupted by " + std::string(signal == SIGINT ? "SIGINT" : "SIGTERM") +
                       " after " + std::to_string(ions) +
                       " of 200000 ions of simulation 1: the profiles, moments and coordinates "
                       "of these ions are written in Dp.in\n"),
              std::string::npos)
        << err;
    const ProfileHeader h = ReadProfileHeader(dir.File("Dp.in/.Histo1D.01_01"));
    EXPECT_EQ(h.ions, ions);
    EXPECT_EQ(h.virtualIons, ions);
    EXPECT_TRUE(FileExists(dir.File("Dp.in/Histo1D.01_01")));
    EXPECT_TRUE(FileExists(dir.File("Dp.in/PearsonIV_01.dat")));
    EXPECT_TRUE(FileExists(dir.File("Dp.in/Ion.01.histo3D.bin")));
    EXPECT_TRUE(FileExists(dir.File("Dp.in/Amorph1D.dat")));
    // The coordinates: two lines of format, one per ion, two of totals.
    EXPECT_EQ(static_cast<long>(LineCount(dir.File("Dp.in/Ion.01.coordinates.dat"))), ions + 4);
    // The record of the run says where it stopped and gives the figures of
    // the ions done.
    const auto summary = nlohmann::json::parse(ReadFile(dir.File("Dp.in/summary.json")));
    EXPECT_EQ(summary["status"], 128 + signal);
    ASSERT_EQ(summary["simulations"].size(), 1u);
    const auto& simulation = summary["simulations"][0];
    EXPECT_EQ(simulation["ions_done"], ions);
    EXPECT_EQ(simulation["inputs"]["ions"], 200000);
    const auto& species = simulation["species"][0];
    EXPECT_GT(species["figures"]["mean_depth"]["value"].get<double>(), 0.0);
    EXPECT_EQ(species["files"]["profile"], ".Histo1D.01_01");
    EXPECT_EQ(species["files"]["joined_profile"], "Histo1D.01_01");
    EXPECT_EQ(species["files"]["coordinates"], "Ion.01.coordinates.dat");
  }
}

// Six orders of magnitude give 19 split depths: once the depths are first
// updated, one deep ion could be split into hundreds of thousands of copies.
TEST(RareEvents, CopiesOfOneIonAreBoundedAndTheWeightsStillSumToTheRealIons) {
  TempDir dir;
  const RunResult r = RunFile(
      dir, "RareEvent 6 NumberOfImplants 40 REInterval 20 REThreshold 0 ENERGY 5000\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Count(r.err, "rare-event copies; its particles go on without further splits"), 1u)
      << r.err;
  const ProfileHeader h = ReadProfileHeader(dir.File("Dp.in/.Histo1D.01_01"));
  EXPECT_EQ(h.ions, 40);
  // 40 ions of weight 1e13 * 100 / (40 * 1e16).
  EXPECT_NEAR(h.realIons, 0.1, 1e-9);
  EXPECT_GT(h.virtualIons, 1000);
}
