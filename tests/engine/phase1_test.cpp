// The first half of a collision step: exclusion of the sites struck in the
// previous step, the binary collisions and the window of simultaneous
// partners, with synthetic collision tables whose outcomes are known.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_world.h"

namespace engine_test {
namespace {

// The outcome of Phase1 for the world's projectile and candidates.
struct Phase1Result {
  int partners = 0;
  double fraction = 0.0;
  double sumT = 0.0;
  double sumInelastic = 0.0;
  Vector newDir;
  Vector shift;
};

Phase1Result RunPhase1(EngineWorld& w, const Particle& projectile) {
  Phase1Result r;
  w.Engine.Projectile = projectile;
  w.Engine.Partners.Clear();
  r.partners = w.Engine.Phase1(w.Geometry, r.fraction, r.sumT, r.sumInelastic, r.newDir, r.shift);
  return r;
}

class Phase1Test : public testing::Test {
 protected:
  void SetUp() override {
    SyntheticCollision c;
    c.projectileIntersection = -0.5;
    c.recoilCosine = 0.5;
    c.recoilShare = 0.1;
    LoadSyntheticTable(w.Geometry.Tables, kSilicon, kSilicon, c);
  }
  void AddCandidateAt(const Vector& r) { w.Engine.Candidates.Add(w.Candidate(kSilicon, r)); }

  EngineWorld w;
  const Particle ion = w.Ion(kSilicon, 1000.0, Vector(10, 0, 0), UnitX);
};

TEST_F(Phase1Test, OneCandidateAtZeroGhiWithoutWindowLeavesNoPartner) {
  // x = 0.5 and the table's projectile intersection -0.5: ghi is exactly 0,
  // and with SD2 = 0 the strict comparison with the widened limit 0 fails.
  w.Engine.SD2 = 0.0;
  w.Moving.Add(ion);
  AddCandidateAt(Vector(10.5, 0.3, 0));
  EXPECT_EQ(w.Engine.CollisionStep(w.Finished, w.Moving, w.Geometry, w.ElectronGas, w.Silicon), -1);
  EXPECT_EQ(w.Moving.NumberOfElements(), 1);
  EXPECT_EQ(w.Moving.Front().Energy, 1000.0);
  EXPECT_EQ(w.Moving.Front().Abs, ion.Abs);
  EXPECT_TRUE(w.Finished.Empty());
  EXPECT_TRUE(w.Engine.Partners.Empty());
  EXPECT_TRUE(w.Engine.Struck.Empty());
  EXPECT_EQ(w.Engine.Counters.NSimTotal, 0.0L);

  // Any window at all accepts the same candidate.
  w.Engine.SD2 = 0.1;
  EXPECT_EQ(w.Engine.CollisionStep(w.Finished, w.Moving, w.Geometry, w.ElectronGas, w.Silicon), 1);
  EXPECT_EQ(w.Engine.Counters.NSimTotal, 1.0L);
}

TEST_F(Phase1Test, WindowKeepsPartnersWithinSD2OfTheNearestCollisionPoint) {
  // ghi = x - 0.5: 0.5 for the first, 0.76 for the second, beyond 0.5 + 0.25.
  AddCandidateAt(Vector(11.0, 0.3, 0));
  AddCandidateAt(Vector(11.26, -0.3, 0));
  Phase1Result r = RunPhase1(w, ion);
  EXPECT_EQ(r.partners, 1);
  ASSERT_EQ(w.Engine.Partners.NumberOfElements(), 2);
  EXPECT_EQ(w.Engine.Partners.Front().Species, kSilicon);
  EXPECT_EQ(w.Engine.Partners.Back().Species, 0);
  EXPECT_NEAR(r.sumT, 0.1, 1e-12);
  EXPECT_DOUBLE_EQ(r.shift.x, 0.5);
  ASSERT_EQ(w.Engine.Struck.NumberOfElements(), 1);
  EXPECT_EQ(w.Engine.Struck.Front(), Vector(11.0, 0.3, 0));

  // Exactly SD2 further on is inside: the limit is widened by its 1.0862e-5.
  w.Engine.Candidates.Clear();
  w.Engine.Struck.Clear();
  AddCandidateAt(Vector(11.0, 0.3, 0));
  AddCandidateAt(Vector(11.25, -0.3, 0));
  r = RunPhase1(w, ion);
  EXPECT_EQ(r.partners, 2);
  EXPECT_NEAR(r.sumT, 0.2, 1e-12);
  EXPECT_DOUBLE_EQ(r.shift.x, 0.75);  // the farthest collision point
  EXPECT_EQ(w.Engine.Struck.NumberOfElements(), 2);
}

TEST_F(Phase1Test, PartnerRecoilsAtTheTableAngleAwayFromThePath) {
  // cos 60 degrees from the flight direction, towards the atom's side; the
  // momentum in units of the projectile's is sqrt(T/E) for equal masses.
  AddCandidateAt(Vector(11.0, 0.4, 0));
  const Phase1Result r = RunPhase1(w, ion);
  ASSERT_EQ(r.partners, 1);
  const Particle& partner = w.Engine.Partners.Front();
  const double k = std::sqrt(0.1);
  EXPECT_NEAR(partner.Dir.x, k * 0.5, 1e-12);
  EXPECT_NEAR(partner.Dir.y, k * std::sqrt(0.75), 1e-12);
  EXPECT_EQ(partner.Dir.z, 0.0);
  EXPECT_NEAR(partner.Energy, 0.1, 1e-12);
  EXPECT_NEAR(partner.ImpactParameter, 0.4, 1e-12);
  EXPECT_DOUBLE_EQ(partner.Ghi, 0.5);
  // The recoil starts at its asymptote intersection, 0.1 A further along
  // the flight; Org is where the atom sat, Abs where it starts.
  EXPECT_DOUBLE_EQ(partner.R.x, 11.1);
  EXPECT_EQ(partner.Org, Vector(11.0, 0.4, 0));
  EXPECT_EQ(partner.Abs, partner.R);
  // The projectile keeps the momentum that the partner did not take.
  EXPECT_NEAR(r.fraction, Dot(UnitX - partner.Dir, UnitX - partner.Dir), 1e-15);
  EXPECT_NEAR(Dot(r.newDir, Vector(0, 0, 1)), 0.0, 1e-15);
  EXPECT_LT(r.newDir.y, 0.0);  // deflected away from the atom
}

TEST_F(Phase1Test, PartnerDrawnFromTheDensityStandsBeyondItsCollisionPoint) {
  // Drawn at 1 A: the collision point lies there, and the atom's closest
  // approach 0.5 A further on, where the asymptotes' offset puts it.
  Particle drawn = w.Candidate(kSilicon, Vector(11.0, 0.4, 0));
  drawn.Sampled = 1;
  w.Engine.Candidates.Add(drawn);
  const Phase1Result r = RunPhase1(w, ion);
  ASSERT_EQ(r.partners, 1);
  const Particle& partner = w.Engine.Partners.Front();
  EXPECT_DOUBLE_EQ(r.shift.x, 1.0);
  EXPECT_DOUBLE_EQ(partner.Ghi, 1.0);
  EXPECT_EQ(partner.Org, Vector(11.5, 0.4, 0));
  EXPECT_DOUBLE_EQ(partner.R.x, 11.6);
  EXPECT_NEAR(partner.ImpactParameter, 0.4, 1e-12);
  // The angle of the recoil does not depend on where along the path the
  // atom stands.
  EXPECT_NEAR(partner.Dir.x, std::sqrt(0.1) * 0.5, 1e-12);
  EXPECT_NEAR(partner.Dir.y, std::sqrt(0.1) * std::sqrt(0.75), 1e-12);
}

TEST_F(Phase1Test, SymmetricPartnersLeaveTheDirectionUnchanged) {
  AddCandidateAt(Vector(11.0, 0.4, 0));
  AddCandidateAt(Vector(11.0, -0.4, 0));
  const Phase1Result r = RunPhase1(w, ion);
  ASSERT_EQ(r.partners, 2);
  EXPECT_EQ(r.newDir, UnitX);
  const double forward = 1.0 - 2.0 * std::sqrt(0.1) * 0.5;
  EXPECT_NEAR(r.fraction, forward * forward, 1e-15);
}

TEST_F(Phase1Test, AtomStraightAheadRecoilsAlongTheFlight) {
  const Vector dir = Normalized(Vector(1, 1, 0));
  const Particle diagonal = w.Ion(kSilicon, 1000.0, Vector(10, 0, 0), dir);
  AddCandidateAt(diagonal.Abs + 1.5 * dir);
  const Phase1Result r = RunPhase1(w, diagonal);
  ASSERT_EQ(r.partners, 1);
  const Particle& partner = w.Engine.Partners.Front();
  EXPECT_LE(partner.ImpactParameter, 1e-7);
  EXPECT_NEAR(Distance(partner.Dir, std::sqrt(0.1) * dir), 0.0, 1e-12);
  EXPECT_NEAR(Distance(r.newDir, dir), 0.0, 1e-15);
}

TEST_F(Phase1Test, AtomBehindIsMetJustAhead) {
  AddCandidateAt(Vector(9.7, 0.5, 0));
  const Phase1Result r = RunPhase1(w, ion);
  ASSERT_EQ(r.partners, 1);
  const Particle& partner = w.Engine.Partners.Front();
  EXPECT_EQ(partner.Ghi, -0.5 + 1e-5);
  EXPECT_NEAR(partner.ImpactParameter, 0.5, 1e-12);
  EXPECT_EQ(w.Geometry.x, 1e-5);
}

TEST_F(Phase1Test, HeadOnCollisionOfEqualMassesStopsTheProjectileDead) {
  // The whole energy and momentum go to the atom: fraction 0, no direction.
  SyntheticCollision c;
  c.projectileShare = 0.0;
  c.recoilShare = 1.0;
  LoadSyntheticTable(w.Geometry.Tables, kSilicon, kSilicon, c);
  AddCandidateAt(Vector(12, 0, 0));
  const Phase1Result r = RunPhase1(w, w.Ion(kSilicon, GridEnergy(40), Vector(10, 0, 0), UnitX));
  ASSERT_EQ(r.partners, 1);
  EXPECT_EQ(w.Engine.Partners.Front().Dir, UnitX);
  EXPECT_EQ(r.fraction, 0.0);
  EXPECT_EQ(r.newDir, NullVector);
}

TEST_F(Phase1Test, StruckSiteIsExcludedFromTheNextCollisionStepOnly) {
  // The first projectile's lattice frame is shifted by 8 A from the
  // absolute one; the site at absolute (10, 0.5, 0) is struck.
  Particle first = ion;
  first.Abs = Vector(9, 0.25, 0);
  first.R = Vector(1, 0.25, 0);
  AddCandidateAt(Vector(2, 0.5, 0));
  ASSERT_EQ(RunPhase1(w, first).partners, 1);
  EXPECT_EQ(w.Engine.Struck.Front(), Vector(10, 0.5, 0));
  w.Engine.Candidates.Clear();

  // A free flight in between does not renew the struck sites.
  w.Moving.Add(ion);
  w.Engine.IncrementPosition(w.Finished, w.Moving, 0.0, 1e9, w.ElectronGas);
  EXPECT_EQ(w.Engine.Struck.NumberOfElements(), 1);

  // Another particle, in a frame of its own, meets the same site and a new one.
  Particle second = ion;
  second.Abs = second.R = Vector(9.5, 0, 0);
  AddCandidateAt(Vector(10, 0.5, 0));
  AddCandidateAt(Vector(10.2, -0.5, 0));
  Phase1Result r = RunPhase1(w, second);
  EXPECT_EQ(r.partners, 1);
  EXPECT_EQ(w.Engine.Counters.SimultaneousCollisions, 1);
  ASSERT_EQ(w.Engine.Candidates.NumberOfElements(), 1);
  EXPECT_EQ(w.Engine.Candidates.Front().Org, Vector(10.2, -0.5, 0));
  w.Engine.Candidates.Clear();

  // One step later the first site may be struck again.
  AddCandidateAt(Vector(10, 0.5, 0));
  r = RunPhase1(w, second);
  EXPECT_EQ(r.partners, 1);
  EXPECT_EQ(w.Engine.Counters.SimultaneousCollisions, 1);
}

TEST_F(Phase1Test, StruckSiteSeenThroughAFoldOfTheCellIsStillExcluded) {
  // A projectile 4 um deep strikes the site at 0.45 of the cell along x;
  // it then crosses the cell boundary and is folded back by one cell, so
  // the same site appears in its new lattice frame at 0.45 - 1 cells, and
  // the absolute positions of the two views differ in the last bits.
  const double a = 5.431;
  Particle before = ion;
  before.Abs = Vector(40000.0 + 2.6 / 3.0, 0.1, 0.2);
  before.R = Vector(2.6 / 3.0, 0.1, 0.2);
  const Vector site(0.45 * a, 0.7, 0.3);
  AddCandidateAt(site);
  ASSERT_EQ(RunPhase1(w, before).partners, 1);
  w.Engine.Candidates.Clear();

  Particle after = before;
  const Vector step(2.1, 0.0, 0.0);
  after.Abs = before.Abs + step;
  after.R = before.R + step - Vector(a, 0.0, 0.0);
  const Vector refolded((0.45 - 1.0) * a, 0.7, 0.3);
  const Vector neighbour = refolded + Vector(1.3578, 1.3578, 0.0);  // one bond away
  ASSERT_NE((after.Abs - after.R) + refolded, w.Engine.Struck.Front());
  AddCandidateAt(refolded);
  AddCandidateAt(neighbour);
  EXPECT_EQ(RunPhase1(w, after).partners, 1);
  EXPECT_EQ(w.Engine.Counters.SimultaneousCollisions, 1);
  ASSERT_EQ(w.Engine.Candidates.NumberOfElements(), 1);
  EXPECT_EQ(w.Engine.Candidates.Front().Org, neighbour);
}

TEST_F(Phase1Test, StepWithEveryCandidateExcludedIsAFreeFlight) {
  AddCandidateAt(Vector(11.0, 0.3, 0));
  ASSERT_EQ(RunPhase1(w, ion).partners, 1);
  w.Engine.Partners.Clear();
  w.Moving.Add(ion);
  EXPECT_EQ(w.Engine.CollisionStep(w.Finished, w.Moving, w.Geometry, w.ElectronGas, w.Silicon), -1);
  EXPECT_TRUE(w.Engine.Candidates.Empty());
  EXPECT_EQ(w.Engine.Counters.SimultaneousCollisions, 1);
  EXPECT_EQ(w.Moving.Front().Energy, ion.Energy);
}

}  // namespace
}  // namespace engine_test
