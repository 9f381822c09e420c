#include "core/ranmar.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace orvane;

namespace {

double Determinant(const Axes& m) { return Dot(m.X, Cross(m.Y, m.Z)); }

// Both generators give the same count numbers, each in [0, 1) and a
// multiple of 2^-24.
void ExpectTheSameStreamOfMultiplesOf2To24(Ranmar& a, Ranmar& b, int count) {
  for (int i = 0; i < count; ++i) {
    const double u = a.Uniform();
    ASSERT_EQ(u, b.Uniform());
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
    ASSERT_EQ(u * 16777216.0, std::floor(u * 16777216.0));
  }
}

}  // namespace

TEST(Ranmar, SelfTestAgreesWithTheReferenceValues) {
  Ranmar rng;
  testing::internal::CaptureStderr();
  EXPECT_EQ(rng.SelfTest(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "TEST 0 OK\nTEST 1 OK\nTEST 2 OK\nTEST 3 OK\nTEST 4 OK\nTEST 5 OK\n");
}

TEST(Ranmar, SeededStreamsRepeatAndStayInTheUnitInterval) {
  Ranmar a, b;
  a.Seed(1234, 5678);
  b.Seed(1234, 5678);
  ExpectTheSameStreamOfMultiplesOf2To24(a, b, 100000);
  b.Seed(1234, 5679);
  EXPECT_NE(a.Uniform(), b.Uniform());
}

TEST(Ranmar, SeedsOutOfRangeWarnAndStillGiveAStream) {
  Ranmar rng;
  testing::internal::CaptureStderr();
  rng.Seed(31329, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\nThe first SEED must have a value beetwen 0 and 31328"
            "\nThe second SEED beetwen 0 and 30081\n");
  const double u = rng.Uniform();
  EXPECT_GE(u, 0.0);
  EXPECT_LT(u, 1.0);
  testing::internal::CaptureStderr();
  rng.Seed(-1, 5);
  EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
}

TEST(Ranmar, RandomRotationsAreProperOrthonormal) {
  Ranmar rng;
  for (int n = 0; n < 1000; ++n) {
    const Axes m = rng.RandomRotation();
    ASSERT_NEAR(m.X.Length(), 1.0, 1e-12);
    ASSERT_NEAR(m.Y.Length(), 1.0, 1e-12);
    ASSERT_NEAR(m.Z.Length(), 1.0, 1e-12);
    ASSERT_NEAR(Dot(m.X, m.Y), 0.0, 1e-12);
    ASSERT_NEAR(Dot(m.Y, m.Z), 0.0, 1e-12);
    ASSERT_NEAR(Dot(m.X, m.Z), 0.0, 1e-12);
    ASSERT_NEAR(Determinant(m), 1.0, 1e-12);
  }
}

TEST(Ranmar, DeflectionWithoutDivergenceKeepsTheDirection) {
  Ranmar rng;
  for (int type : {0, 2}) {
    Vector u = Normalized(Vector(0.3, -0.4, 0.5));
    const Vector before = u;
    rng.Deflect(u, type, 0.0);
    EXPECT_NEAR(Distance(u, before), 0.0, 1e-7) << "type " << type;
  }
}

TEST(Ranmar, DeflectionStaysWithinTheConeAndIsUnit) {
  Ranmar rng;
  const double cone = std::cos(3.0 * 3.141592653589793 / 180.0);
  for (int type : {0, 1, 2}) {
    for (int n = 0; n < 2000; ++n) {
      Vector u = UnitX;  // along the x axis the z axis is the reference
      rng.Deflect(u, type, 3.0);
      ASSERT_NEAR(u.Length(), 1.0, 1e-12);
      ASSERT_GE(u.x, cone - 1e-12);
    }
  }
  // Law 2 turns every ion by exactly the scaled angle.
  Vector u = Normalized(Vector(0, 1, 1));
  const Vector before = u;
  rng.Deflect(u, 2, 2.0);
  EXPECT_NEAR(std::acos(Dot(u, before)) * 180.0 / 3.141592653589793, 2.0 * 0.707106781, 1e-6);
}

TEST(Ranmar, LagTablesGiveRepeatableStreamsThatDifferWithAnyLag) {
  uint32_t lags[97];
  for (int i = 0; i < 97; ++i) lags[i] = 1000003u * (i + 1);
  Ranmar a, b;
  a.SeedLags(lags);
  // Each lag is taken modulo 2^24.
  uint32_t wrapped[97];
  for (int i = 0; i < 97; ++i) wrapped[i] = lags[i] + (5u << 24);
  b.SeedLags(wrapped);
  ExpectTheSameStreamOfMultiplesOf2To24(a, b, 10000);
  // The lag table is all the state besides the carry: one lag more gives
  // another stream, whatever the stream drew before.
  a.SeedLags(lags);
  lags[96] += 1;
  b.SeedLags(lags);
  EXPECT_NE(a.Uniform(), b.Uniform());
}
