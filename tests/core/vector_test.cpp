#include "core/vector.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/axes.h"

using namespace orvane;

TEST(Vector, ArithmeticAndNormalisation) {
  const Vector a(1, 2, 3), b(4, 5, 6);
  EXPECT_EQ(a + b, Vector(5, 7, 9));
  EXPECT_EQ(b - a, Vector(3, 3, 3));
  EXPECT_EQ(-a, Vector(-1, -2, -3));
  EXPECT_EQ(2.0 * a, Vector(2, 4, 6));
  EXPECT_DOUBLE_EQ(Dot(a, b), 32.0);
  EXPECT_EQ(Cross(UnitX, Vector(0, 1, 0)), Vector(0, 0, 1));
  EXPECT_DOUBLE_EQ(Normalized(Vector(3, 0, 4)).Length(), 1.0);
  EXPECT_EQ(Normalized(NullVector), NullVector);
  EXPECT_DOUBLE_EQ(Distance(a, b), std::sqrt(27.0));
}

TEST(Vector, TextFormPadsEachComponentToNine) {
  std::ostringstream os;
  os << UnitX;
  EXPECT_EQ(os.str(), "(         1,         0,         0 )");
  std::istringstream is("1.5 -2 3e2");
  Vector v;
  is >> v;
  EXPECT_EQ(v, Vector(1.5, -2, 300));
}

TEST(Axes, DefaultFrameNegatesTheThirdAxis) {
  std::ostringstream os;
  const Axes f = Axes::Build(UnitX, Vector(0, 1, 0), 0, 0, false, os);
  EXPECT_EQ(f.X, UnitX);
  EXPECT_EQ(f.Y, Vector(0, 1, 0));
  EXPECT_EQ(f.Z, Vector(0, 0, -1));
  EXPECT_TRUE(os.str().empty());
  EXPECT_EQ(f.Transform(Vector(1, 2, 3)), Vector(1, 2, -3));
}

TEST(Axes, TiltOfNinetyDegreesTurnsTheDepthAxis) {
  std::ostringstream os;
  const Axes f = Axes::Build(Vector(2, 0, 0), Vector(0, 3, 0), 90, 0, true, os);
  const Vector cross = Cross(UnitX, Vector(0, 1, 0));
  EXPECT_NEAR(Distance(f.X, cross), 0.0, 1e-15);
  EXPECT_NEAR(Distance(f.Z, UnitX), 0.0, 1e-15);
  // The third axis stays the negated cross product of the first two.
  EXPECT_NEAR(Distance(f.Z, -Cross(f.X, f.Y)), 0.0, 1e-15);
  EXPECT_EQ(os.str().substr(0, 8), "\n Axe X ");
  EXPECT_NE(os.str().find("\n Axe Z "), std::string::npos);
}
