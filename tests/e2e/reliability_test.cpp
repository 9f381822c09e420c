// Runs that must end well whatever they meet: rare-event splitting that
// would copy one ion without end, and runs interrupted by a signal.
#include <gtest/gtest.h>

#include <sstream>

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

}  // namespace

// Six orders of magnitude give 19 split depths: once the depths are first
// updated, one deep ion could be split into hundreds of thousands of copies.
TEST(RareEvents, CopiesOfOneIonAreBoundedAndTheWeightsStillSumToTheRealIons) {
  TempDir dir;
  const RunResult r = RunFile(
      dir, "RareEvent 6 NumberOfImplants 100 REInterval 20 REThreshold 0 ENERGY 5000\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Count(r.err, "rare-event copies; its particles go on without further splits"), 1u)
      << r.err;
  const ProfileHeader h = ReadProfileHeader(dir.File("Dp.in/.Histo1D.01_01"));
  EXPECT_EQ(h.ions, 100);
  // 100 ions of weight 1e13 * 100 / (100 * 1e16).
  EXPECT_NEAR(h.realIons, 0.1, 1e-9);
  EXPECT_GT(h.virtualIons, 1000);
}
