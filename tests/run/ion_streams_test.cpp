#include "run/ion_streams.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

using namespace orvane;

namespace {

// The first uniform numbers of the ion's stream, and its key.
std::pair<std::vector<double>, uint64_t> Draws(const IonStreamId& id) {
  Ranmar uniform;
  std::pair<std::vector<double>, uint64_t> draws;
  draws.second = SeedIonStreams(id, uniform);
  for (int i = 0; i < 8; ++i) draws.first.push_back(uniform.Uniform());
  return draws;
}

}  // namespace

TEST(IonStreams, AnIonDrawsTheSameWhateverWasDrawnBefore) {
  const IonStreamId id{1234, 5678, 2, 77};
  Ranmar uniform;
  for (int i = 0; i < 1000; ++i) uniform.Uniform();
  const auto fresh = Draws(id);
  EXPECT_EQ(SeedIonStreams(id, uniform), fresh.second);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(uniform.Uniform(), fresh.first[i]);
}

TEST(IonStreams, EachOfTheFourNumbersGivesOtherStreams) {
  const auto base = Draws({1234, 5678, 2, 77});
  for (const IonStreamId& other : {IonStreamId{1235, 5678, 2, 77}, IonStreamId{1234, 5679, 2, 77},
                                   IonStreamId{1234, 5678, 3, 77}, IonStreamId{1234, 5678, 2, 78},
                                   IonStreamId{1234, 5678, 77, 2}}) {
    const auto draws = Draws(other);
    EXPECT_NE(draws.first, base.first);
    EXPECT_NE(draws.second, base.second);
  }
}

TEST(IonStreams, TheIonsOfARunStartDistinctStreamsOfEvenNumbers) {
  // Ten thousand ions: no two start alike nor share a key, and their first
  // numbers are uniform (mean 1/2 and variance 1/12 within five standard
  // errors).
  std::set<std::vector<double>> starts;
  std::set<uint64_t> keys;
  double sum = 0.0, sum2 = 0.0;
  const int ions = 10000;
  for (uint32_t ion = 1; ion <= static_cast<uint32_t>(ions); ++ion) {
    const auto draws = Draws({1234, 5678, 1, ion});
    starts.insert(draws.first);
    keys.insert(draws.second);
    sum += draws.first[0];
    sum2 += draws.first[0] * draws.first[0];
  }
  EXPECT_EQ(starts.size(), static_cast<std::size_t>(ions));
  EXPECT_EQ(keys.size(), static_cast<std::size_t>(ions));
  const double mean = sum / ions;
  EXPECT_NEAR(mean, 0.5, 5.0 * std::sqrt(1.0 / 12.0 / ions));
  EXPECT_NEAR(sum2 / ions - mean * mean, 1.0 / 12.0, 5.0 * std::sqrt(1.0 / 180.0 / ions));
}
