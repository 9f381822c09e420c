#include "core/atom.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/particle.h"
#include "core/site.h"

using namespace orvane;

TEST(Atom, TextFormOfSilicon) {
  std::ostringstream os;
  os << Atom("Si", 28.086, 14, 519);
  EXPECT_EQ(os.str(), "[Si]\tW =    28.086 amu, Z =  14, TDebye =   519 K, TAmp =          0 A\n");
}

TEST(Atom, EqualityIgnoresDebyeTemperatureAndAmplitude) {
  Atom a("B", 11.0, 5, 519), b("B", 11.0, 5, 300);
  b.TAmp = 0.1;
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a == Atom("B", 10.0, 5, 519));
  EXPECT_EQ(Atom("No", 259.0, 102, 0).Z, 102);
  EXPECT_EQ(Atom("Xyz", 1.0, 1, 0).SymbolText(), "Xy");
}

TEST(Atom, LimitsOfAnElement) {
  EXPECT_TRUE(Atom::Valid("Si", 28.086, 14));
  EXPECT_TRUE(Atom::Valid("No", 259, 102));
  EXPECT_FALSE(Atom::Valid("X", 1, 103));
  EXPECT_FALSE(Atom::Valid("X", 0, 5));
  EXPECT_FALSE(Atom::Valid("si", 28, 14));
  EXPECT_FALSE(Atom::Valid("", 28, 14));
}

TEST(AtomDeathTest, ConstructorAssertsTheLimits) {
  EXPECT_DEATH(Atom("X", 1.0, 103, 0), "WC>0.0 && ZC>0 && ZC<103, unit atom, line 31");
  EXPECT_DEATH(Atom("X", 0.0, 5, 0), "WC>0.0");
  EXPECT_DEATH(Atom("x", 1.0, 5, 0), "TC\\[0\\]>='A' && TC\\[0\\]<='Z', unit atom, line 53");
}

TEST(Particle, DefaultsAndStatusNames) {
  Particle p;
  EXPECT_EQ(p.Dir, UnitX);
  EXPECT_EQ(p.Ghi, 0.1);
  EXPECT_EQ(p.Weight, 1.0);
  EXPECT_EQ(p.Fraction, 1.0);
  EXPECT_STREQ(StatusName(p.Status), "LATTICE ATOM");
  EXPECT_STREQ(StatusName(ION_NOT_FOLLOWED), "ION NOT FOLLOWED");
  EXPECT_STREQ(StatusName(PHONON_EXCITED), "PHONON EXCITED");
  EXPECT_STREQ(StatusName(13), "UNKNOWN STATUS");
  p.SetDirection(Vector(0, 0, 2));
  EXPECT_EQ(p.Dir, Vector(0, 0, 1));
  p.SetDirection(NullVector);
  EXPECT_EQ(p.Dir, NullVector);
}

TEST(Particle, DiagnosticText) {
  Particle p(Site(2, 0, Vector(1, 0, 0), 2, 1.0));
  p.Energy = 5;
  p.Status = PROJECTILE;
  std::ostringstream os;
  os << p;
  EXPECT_EQ(os.str(),
            "[2]\tR   (         1,         0,         0 )\nEnergy: 5 (eV)\n"
            "Dir (         1,         0,         0 )\nAbs (         0,         0,         0 )\n"
            "Org (         0,         0,         0 )\n Ghi = 0.1\nPROJECTILE\n\n\n");
}

TEST(Site, EqualityAndFrameOutput) {
  const Site a(1, 0, Vector(1, 2, 3), 1, 1.0);
  Site b(1, 5, Vector(1, 2, 3), 2, 0.5);
  EXPECT_TRUE(a == b);
  b.Species = 2;
  EXPECT_FALSE(a == b);
  std::ostringstream os;
  a.WriteInFrame(os, Axes::Build(UnitX, Vector(0, 1, 0), 0, 0, false, os));
  EXPECT_EQ(os.str(), " 1 2 -3\n");
}
