// The second half of a collision step: the energy balance, the recoils and
// their deposits in the damage profile, and the projectile after the
// collision.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine_world.h"

namespace engine_test {
namespace {

TEST(BalanceEnergy, PartnersProjectileAndLossAddUpToTheEnergyBrought) {
  EngineWorld w;
  w.Engine.Projectile = w.Ion(kSilicon, 1000.0, NullVector, UnitX);
  const double s = w.Engine.BalanceEnergy(0.5, 0.3, 100.0);
  EXPECT_DOUBLE_EQ(s, 1.0 / 0.9);
  // E minus what it gave away, not E times the fraction.
  EXPECT_DOUBLE_EQ(w.Engine.After.Energy, 1000.0 - 400.0 / 0.9);
  EXPECT_DOUBLE_EQ(w.Engine.StepElectronicLoss, 100.0 * s);
  EXPECT_NEAR(w.Engine.After.Energy + 1000.0 * 0.3 * s + w.Engine.StepElectronicLoss, 1000.0,
              1e-12);
}

TEST(BalanceEnergy, OverfullBalanceScalesThePartnersDownAndStopsTheProjectile) {
  EngineWorld w;
  w.Engine.Projectile = w.Ion(kSilicon, 1000.0, NullVector, UnitX);
  // Shares of 0.75 and 0.25 and a negative share of the projectile would
  // take 1333 eV: the partners get 750 and the electrons 250.
  const double s = w.Engine.BalanceEnergy(-0.25, 0.75, 250.0);
  EXPECT_EQ(w.Engine.After.Energy, 0.0);
  EXPECT_NEAR(1000.0 * 0.75 * s, 750.0, 1e-9);
  EXPECT_NEAR(w.Engine.StepElectronicLoss, 250.0, 1e-9);

  // All momentum given away: rounding alone can push the shares past E.
  const double t = w.Engine.BalanceEnergy(0.0, 0.5, 333.0);
  EXPECT_NEAR(w.Engine.After.Energy, 0.0, 1e-9);
  EXPECT_LE(1000.0 * 0.5 * t + w.Engine.StepElectronicLoss, 1000.0 * (1 + 1e-15));
}

// A projectile of 1024 eV, so that energies in eV are exact multiples of
// its shares, with weight 0.5, after 3 fs of flight, at depth 5 A.
class ReleaseRecoilsTest : public testing::Test {
 protected:
  void SetUp() override {
    Particle& p = w.Engine.Projectile;
    p = w.Ion(kSilicon, 1024.0, Vector(5, 0.5, 0), UnitX);
    p.Weight = 0.5;
    p.Time = 3e-15;
    w.Engine.After = p;
    w.Moving.Add(p);
    w.Damage.CutOffEnergy = 1e30;  // level 1 then deposits exactly what it is given
  }
  // A partner that received the energy (eV) with its momentum along y.
  Particle& AddPartner(double energy, const Vector& r = Vector(5.5, 0.5, 0)) {
    Particle atom = w.Candidate(kSilicon, r);
    atom.Energy = energy / 1024.0;
    atom.Dir = Vector(0, 2, 0);
    w.Engine.Partners.Add(atom);
    return w.Engine.Partners.Back();
  }
  // The damage model's displacements in units of the energy deposited.
  double Deposited() const {
    return w.Damage.Displacements * 2.0 * w.Damage.DisplacementEnergy /
           w.Damage.KinchinPeaseConstant;
  }

  EngineWorld w;
};

TEST_F(ReleaseRecoilsTest, AtomAtDisplacementEnergyPlusThresholdStaysOnItsSite) {
  AddPartner(15.0 + 10.0);
  w.Damage.Mode = 2;  // an atom set in motion would deposit only weight x 15 eV
  w.Engine.ReleaseRecoils(w.Moving, 1.0, w.Silicon);
  EXPECT_EQ(w.Moving.NumberOfElements(), 1);
  EXPECT_EQ(w.Damage.Count, 1);
  EXPECT_NEAR(Deposited(), 25.0 * 0.5, 1e-12);
}

TEST_F(ReleaseRecoilsTest, RecoilLeavesWithTransferMinusDisplacementEnergy) {
  AddPartner(100.0, Vector(3.0, 0.5, 0));
  w.Engine.ReleaseRecoils(w.Moving, 1.0, w.Silicon);
  ASSERT_EQ(w.Moving.NumberOfElements(), 2);
  const Particle& recoil = w.Moving.Back();
  EXPECT_EQ(recoil.Energy, 85.0);
  EXPECT_EQ(recoil.Status, SECONDARY_PROJ);
  EXPECT_EQ(recoil.Dir, Vector(0, 1, 0));
  EXPECT_EQ(recoil.Ghi, w.Engine.GhiLimit);
  EXPECT_EQ(recoil.Weight, 0.5);
  EXPECT_EQ(recoil.Time, 3e-15);
  EXPECT_DOUBLE_EQ(recoil.R.x, 3.0 - 5.431);  // folded into the cell
  // The profile receives the whole transfer times the weight, as 'B'.
  EXPECT_NEAR(Deposited(), 100.0 * 0.5, 1e-12);
}

TEST_F(ReleaseRecoilsTest, DepositOfARecoilIsMarkedAsDisplacement) {
  AddPartner(100.0);
  w.Damage.Mode = 2;  // 'B' deposits count one displacement energy per unit weight
  w.Engine.ReleaseRecoils(w.Moving, 1.0, w.Silicon);
  EXPECT_NEAR(Deposited(), 0.5 * w.Damage.DisplacementEnergy, 1e-12);
}

TEST_F(ReleaseRecoilsTest, RecoilsFollowInPartnerOrderWithTheirSitesEnergies) {
  BasisAtom& second = w.Silicon.Basis.GetAt(2);
  second.SpeciesB = kBoron;
  second.EnergyB = 40.0;
  AddPartner(200.0).Ghi = 1.0;
  AddPartner(300.0).Species = 0;  // rejected by the window
  Particle& mixed = AddPartner(400.0);
  mixed.BasisIndex = 1;
  mixed.Species = mixed.SpeciesB = kBoron;
  AddPartner(600.0).Ghi = 3.0;
  w.Engine.ReleaseRecoils(w.Moving, 0.5, w.Silicon);
  ASSERT_EQ(w.Moving.NumberOfElements(), 4);
  EXPECT_EQ(w.Moving.Front().Status, PROJECTILE);  // the projectile keeps the first place
  EXPECT_EQ(w.Moving.GetAt(2).Energy, 100.0 - 15.0);
  EXPECT_EQ(w.Moving.GetAt(3).Energy, 200.0 - 40.0);
  EXPECT_EQ(w.Moving.GetAt(3).Species, kBoron);
  EXPECT_EQ(w.Moving.GetAt(4).Energy, 300.0 - 15.0);
  EXPECT_EQ(w.Damage.Count, 3);
  EXPECT_NEAR(Deposited(), (100.0 + 200.0 + 300.0) * 0.5, 1e-9);
}

// The projectile of a collision step before Makecollision: 1000 eV at
// absolute (20, 0.25, 0), lattice (1, 0.25, 0), planned flight 1 A, with
// the energy 500 eV that the balance left it, and one partner struck at
// (20.5, 1, 0).
class MakecollisionTest : public testing::Test {
 protected:
  void SetUp() override {
    Particle& p = w.Engine.Projectile;
    p = w.Ion(kSilicon, 1000.0, Vector(20, 0.25, 0), UnitX);
    p.R = Vector(1, 0.25, 0);
    p.Ghi = 1.0;
    p.Time = 1e-15;
    p.Collisions = 3;
    p.Flights = 4;
    p.PathLength = 7.0;
    w.Engine.After = p;
    w.Engine.After.Energy = 500.0;
    w.Moving.Add(p);
    Particle struck = w.Candidate(kSilicon, Vector(20.5, 1, 0));
    w.Engine.Partners.Add(struck);
    Particle rejected = w.Candidate(kSilicon, Vector(30, 0, 0));
    rejected.Species = 0;
    w.Engine.Partners.Add(rejected);
  }
  void Run(const Vector& newDir) { w.Engine.Makecollision(w.Finished, w.Moving, shift, newDir); }

  EngineWorld w;
  const Vector shift{0.5, 0, 0};
};

TEST_F(MakecollisionTest, ProjectileGoesOnPastTheAtomsItStruck) {
  const Vector newDir = Normalized(Vector(1, 1, 0));
  Run(newDir);
  ASSERT_EQ(w.Moving.NumberOfElements(), 1);
  EXPECT_TRUE(w.Finished.Empty());
  const Particle& p = w.Moving.Front();
  EXPECT_EQ(p.Energy, 500.0);
  EXPECT_EQ(p.Dir, newDir);
  EXPECT_EQ(p.Abs, Vector(20.5, 0.25, 0));
  EXPECT_EQ(p.R, Vector(1.5, 0.25, 0));
  // Past the struck atom along the new direction, plus the half of the
  // planned flight that lay beyond the collision point, projected.
  const double ahead = Dot(Vector(0, 0.75, 0), newDir);
  const double extra = Dot(newDir, UnitX) * 0.5;
  EXPECT_DOUBLE_EQ(p.Ghi, ahead + extra);
  EXPECT_EQ(p.Collisions, 4);
  EXPECT_EQ(p.Flights, 0);
  EXPECT_EQ(p.PathLength, 7.5);
  EXPECT_DOUBLE_EQ(p.Time, 1e-15 + 0.5 / std::sqrt(1000.0 / 28.086) * 7.21958e-15);
  EXPECT_EQ(p.Status, PROJECTILE);
}

TEST_F(MakecollisionTest, NextFlightIsAtLeastTheShortestFlight) {
  Run(Vector(-1, 0, 0));  // turned back: nothing of the planned flight is left
  EXPECT_EQ(w.Moving.Front().Ghi, w.Engine.GhiLimit);
  w.Engine.Projectile.Ghi = 0.3;  // the collision point lay beyond the planned flight
  w.Engine.After = w.Engine.Projectile;
  w.Engine.After.Energy = 500.0;
  Run(Vector(0, 0, 1));
  EXPECT_EQ(w.Moving.Front().Ghi, w.Engine.GhiLimit);
}

TEST_F(MakecollisionTest, ProjectileThatLostEnoughStopsAtTheCollisionPoint) {
  Particle recoil = w.Moving.Front();
  recoil.Status = SECONDARY_PROJ;
  w.Moving.Add(recoil);
  w.Engine.After.Energy = w.Engine.ThresholdEnergy;
  Run(UnitX);
  ASSERT_EQ(w.Finished.NumberOfElements(), 1);
  EXPECT_EQ(w.Finished.Front().Status, IMPLANTED_ION);
  EXPECT_EQ(w.Finished.Front().Abs, w.Engine.Projectile.Abs + shift);
  ASSERT_EQ(w.Moving.NumberOfElements(), 1);
  EXPECT_EQ(w.Moving.Front().Status, SECONDARY_PROJ);

  // A recoil that stops becomes an interstitial.
  w.Engine.Projectile = w.Engine.After = w.Moving.Front();
  w.Engine.After.Energy = 0.0;
  Run(UnitX);
  EXPECT_EQ(w.Finished.Back().Status, INTERSTITIAL);
  EXPECT_TRUE(w.Moving.Empty());
}

TEST_F(MakecollisionTest, EnergyThatIsNotANumberStopsTheParticle) {
  w.Engine.Projectile.Energy = std::numeric_limits<double>::quiet_NaN();
  w.Engine.After.Energy = w.Engine.Projectile.Energy;
  Run(UnitX);
  ASSERT_EQ(w.Finished.NumberOfElements(), 1);
  EXPECT_EQ(w.Finished.Front().Energy, 0.0);
  EXPECT_EQ(w.Finished.Front().Time, 1e-15);
  EXPECT_EQ(w.Finished.Front().Status, IMPLANTED_ION);
}

TEST_F(MakecollisionTest, StoppingWithAnotherStatusIsReportedAndKept) {
  w.Engine.After.Status = ION_NOT_FOLLOWED;
  w.Engine.After.Energy = 1.0;
  testing::internal::CaptureStderr();
  Run(UnitX);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Error: Target::Makecollision, Wrong status ION NOT FOLLOWED 9\n");
  ASSERT_EQ(w.Finished.NumberOfElements(), 1);
  EXPECT_EQ(w.Finished.Front().Status, ION_NOT_FOLLOWED);
  EXPECT_TRUE(w.Moving.Empty());
}

TEST(CollisionStep, ProjectileThatLosesEnoughStopsAtTheCollisionPoint) {
  // A head-on collision of equal masses gives the atom everything.
  EngineWorld w;
  SyntheticCollision c;
  c.projectileShare = 0.0;
  c.recoilShare = 1.0;
  LoadSyntheticTable(w.Geometry.Tables, kSilicon, kSilicon, c);
  const Particle ion = w.Ion(kSilicon, GridEnergy(40), Vector(10, 0, 0), UnitX);
  w.Moving.Add(ion);
  w.Engine.Candidates.Add(w.Candidate(kSilicon, Vector(12, 0, 0)));
  EXPECT_EQ(w.Engine.CollisionStep(w.Finished, w.Moving, w.Geometry, w.ElectronGas, w.Silicon), 1);
  ASSERT_EQ(w.Finished.NumberOfElements(), 1);
  const Particle& stopped = w.Finished.Front();
  EXPECT_EQ(stopped.Status, IMPLANTED_ION);
  EXPECT_NEAR(stopped.Energy, 0.0, 1e-9 * ion.Energy);
  EXPECT_EQ(stopped.Abs, ion.Abs + 2.0 * UnitX);  // x = 2, projectile intersection 0
  EXPECT_EQ(stopped.Collisions, 1);
  // The atom goes on along the flight with what the electrons left.
  ASSERT_EQ(w.Moving.NumberOfElements(), 1);
  const Particle& recoil = w.Moving.Front();
  EXPECT_EQ(recoil.Status, SECONDARY_PROJ);
  EXPECT_EQ(recoil.Dir, UnitX);
  EXPECT_GT(w.Engine.StepElectronicLoss, 0.0);
  EXPECT_NEAR(recoil.Energy + 15.0 + w.Engine.StepElectronicLoss, ion.Energy, 1e-9 * ion.Energy);
  EXPECT_TRUE(w.Engine.Partners.Empty());
}

TEST(TargetConfiguration, NullLatticeIsTheSiliconCellAndShortestFlightGetsItsMargin) {
  EngineWorld w;
  w.Engine.Configure(NullVector, 2.5, 0.2, 7.0, 0.3, 77.0);
  EXPECT_EQ(w.Engine.Cell, Vector(5.431, 5.431, 5.431));
  EXPECT_EQ(w.Engine.HalfCell, Vector(2.7155, 2.7155, 2.7155));
  EXPECT_EQ(w.Engine.GhiLimit, 0.2 + 1.0862e-5);
  EXPECT_EQ(w.Engine.InteractionRadius, 2.5);
  EXPECT_EQ(w.Engine.ThresholdEnergy, 7.0);
  EXPECT_EQ(w.Engine.SD2, 0.3);
  EXPECT_EQ(w.Engine.Temperature, 77.0);
  w.Engine.Configure(Vector(4, 5, 6), 2.5, 0.2, 7.0, 0.3, 77.0);
  EXPECT_EQ(w.Engine.HalfCell, Vector(2, 2.5, 3));
}

TEST(CollisionStepDeathTest, EmptyMovingListIsAnAssertionFailure) {
  EngineWorld w;
  EXPECT_DEATH(w.Engine.CollisionStep(w.Finished, w.Moving, w.Geometry, w.ElectronGas, w.Silicon),
               "Begin!=NULL");
  EXPECT_DEATH(w.Engine.IncrementPosition(w.Finished, w.Moving, 0.0, 1e9, w.ElectronGas),
               "Begin!=NULL");
}

TEST(CollisionStepDeathTest, EnergyBeyondTheCollisionTableEndsTheRun) {
  EngineWorld w;
  LoadSyntheticTable(w.Geometry.Tables, kSilicon, kSilicon, SyntheticCollision());
  w.Moving.Add(w.Ion(kSilicon, 9e6, Vector(10, 0, 0), UnitX));
  w.Engine.Candidates.Add(w.Candidate(kSilicon, Vector(11, 0.5, 0)));
  EXPECT_EXIT(w.Engine.CollisionStep(w.Finished, w.Moving, w.Geometry, w.ElectronGas, w.Silicon),
              testing::ExitedWithCode(407 & 0xFF), "# Error: Maximum energy tabulated reached");
}

}  // namespace
}  // namespace engine_test
