#include "physics/nonlocal_loss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "physics/site_potential.h"
#include "physics/stp.h"
#include "stopping_test_tables.h"

using namespace orvane;

namespace {

constexpr double kBoron = 10.81;  // amu
const double kSpeedFactor = std::sqrt(4.0028650643040303e-05 / kBoron);

// A uniform electron gas that remembers where it was asked.
struct UniformDensity {
  double value = 0.05;  // electrons per A^3
  mutable std::vector<Vector> points;
  double operator()(const Vector& point) const {
    points.push_back(point);
    return value;
  }
};

// A stopping power that remembers the kinetic energy and radius of every
// sub-step it is asked for.
struct RecordingStopping {
  double perSpeed = 0.0;  // eV/A per atomic unit of speed
  double constant = 0.0;  // eV/A
  mutable std::vector<double> energies;
  mutable std::vector<double> radii;
  mutable std::vector<double> values;
  double operator()(double v, double z1, double rs) const {
    EXPECT_EQ(z1, 5.0);
    energies.push_back(std::pow(v / kSpeedFactor, 2));
    radii.push_back(rs);
    values.push_back(constant + perSpeed * v);
    return values.back();
  }
};

Flight Along(double startEnergy, double endEnergy, double length) {
  Flight flight;
  flight.start = Vector(1.0, 2.0, 3.0);
  flight.direction = Normalized(Vector(1.0, 1.0, 0.0));
  flight.startEnergy = startEnergy;
  flight.endEnergy = endEnergy;
  flight.length = length;
  return flight;
}

double Loss(const UniformDensity& density, const RecordingStopping& stopping, const Flight& flight,
            const List<Vector>& sites = List<Vector>(), double z2 = 0.0) {
  return NonlocalLossWith(density, stopping, SitePotential(sites, 5.0, z2), 5.0, kBoron, flight);
}

double Zbl(double x) {
  return 0.18179 * std::exp(-3.2 * x) + 0.50986 * std::exp(-0.9423 * x) +
         0.28018 * std::exp(-0.4029 * x) + 0.02817 * std::exp(-0.2016 * x);
}

}  // namespace

TEST(NonlocalLoss, FreeFlightSubStepsSeeTheStartEnergyLessTheLossSoFar) {
  UniformDensity density;
  RecordingStopping stopping;
  stopping.constant = 2.0;
  EXPECT_NEAR(Loss(density, stopping, Along(500.0, 500.0, 3.0)), 6.0, 1e-12);
  ASSERT_EQ(stopping.energies.size(), 30u);
  EXPECT_DOUBLE_EQ(stopping.energies[0], 500.0);
  for (int k = 0; k < 30; ++k) EXPECT_NEAR(stopping.energies[k], 500.0 - k * 0.1 * 2.0, 1e-9) << k;
}

TEST(NonlocalLoss, DeceleratingFlightSubStepsFollowTheEnergyReachedThere) {
  UniformDensity density;
  RecordingStopping stopping;
  stopping.perSpeed = 40.0;
  const double loss = Loss(density, stopping, Along(1000.0, 400.0, 6.0));
  ASSERT_EQ(stopping.energies.size(), 30u);
  EXPECT_DOUBLE_EQ(stopping.energies[0], 1000.0);
  double lostSoFar = 0.0;
  for (int k = 0; k < 30; ++k) {
    const double x = 0.2 * k;
    EXPECT_NEAR(stopping.energies[k], 1000.0 + (400.0 - 1000.0) * x / 6.0 - lostSoFar, 1e-9) << k;
    if (k > 0) {
      EXPECT_LT(stopping.energies[k], stopping.energies[k - 1]) << k;
    }
    lostSoFar += 0.2 * stopping.values[k];
  }
  EXPECT_NEAR(loss, lostSoFar, 1e-12);
}

TEST(NonlocalLoss, SubStepsAdvanceAlongTheDirectionThroughTheDensity) {
  UniformDensity density;
  RecordingStopping stopping;
  const Flight flight = Along(800.0, 800.0, 4.5);
  Loss(density, stopping, flight);
  ASSERT_EQ(density.points.size(), 30u);
  for (int k = 0; k < 30; ++k) {
    const Vector expected = flight.start + flight.direction * (0.15 * k);
    EXPECT_NEAR(Distance(density.points[k], expected), 0.0, 1e-12) << k;
    // The one-electron radius: 4/3 pi rs^3 = 1/n, in bohr.
    EXPECT_NEAR(stopping.radii[k], std::cbrt(3.0 / (4.0 * M_PI * 0.05)) / 0.529177249, 1e-12);
  }
}

TEST(NonlocalLoss, SubStepsWithoutKineticEnergyLoseNothing) {
  UniformDensity density;
  RecordingStopping stopping;
  stopping.constant = 100.0;
  // 10 eV, then 0 eV, then the energy is gone.
  EXPECT_NEAR(Loss(density, stopping, Along(10.0, 10.0, 3.0)), 20.0, 1e-12);
  EXPECT_EQ(stopping.energies.size(), 2u);

  RecordingStopping none;
  EXPECT_EQ(Loss(density, none, Along(-1.0, -1.0, 3.0)), 0.0);
  EXPECT_TRUE(none.energies.empty());
}

TEST(NonlocalLoss, NoFlightNoLoss) {
  UniformDensity density;
  RecordingStopping stopping;
  stopping.constant = 1.0;
  EXPECT_EQ(Loss(density, stopping, Along(100.0, 100.0, 0.0)), 0.0);
  EXPECT_EQ(Loss(density, stopping, Along(100.0, 100.0, -2.0)), 0.0);
  EXPECT_TRUE(density.points.empty());
}

TEST(NonlocalLoss, PotentialEnergyOfTheNearbyAtomsTakesFromTheKineticEnergy) {
  const Flight flight = Along(3000.0, 3000.0, 3.0);
  const Vector across = Vector(0.0, 0.0, 1.0);
  const double a = 0.4683766 / (std::pow(5.0, 0.23) + std::pow(14.0, 0.23));
  const double strength = 5.0 * 14.0 * 1.60217733e-19 * 9e19;  // eV A
  const double r = 0.31;
  List<Vector> sites;
  sites.Add(flight.start + across * r);
  sites.Add(flight.start + across * (4.995 * a));  // screened out entirely

  UniformDensity density;
  RecordingStopping stopping;
  Loss(density, stopping, flight, sites, 14.0);
  const double potential = strength * Zbl(r / a) / r;
  EXPECT_NEAR(3000.0 - stopping.energies[0], potential, 1e-4 * potential);

  // A free flight feels no potential energy, whatever the list holds.
  RecordingStopping freeFlight;
  Loss(density, freeFlight, flight, sites, 0.0);
  EXPECT_DOUBLE_EQ(freeFlight.energies[0], 3000.0);
}

TEST(NonlocalLoss, AtomOnThePathTakesTheWholeKineticEnergyThere) {
  const Flight flight = Along(1e4, 1e4, 3.0);
  List<Vector> sites;
  sites.Add(flight.start + flight.direction * 0.5);  // sub-step 5
  UniformDensity density;
  RecordingStopping stopping;
  stopping.constant = 1.0;
  EXPECT_NEAR(Loss(density, stopping, flight, sites, 14.0), 29 * 0.1, 1e-12);
  EXPECT_EQ(stopping.energies.size(), 29u);
}

TEST(NonlocalLossDeathTest, DensityOfZeroIsRefused) {
  UniformDensity empty;
  empty.value = 0.0;
  RecordingStopping stopping;
  EXPECT_DEATH(Loss(empty, stopping, Along(100.0, 100.0, 1.0)), "Value != 0.0.*edt3d");
}

TEST(ReducedScreening, ZblUniversalAtTheReducedDistance) {
  EXPECT_NEAR(ReducedScreening(0.0), 1.0, 1e-12);
  for (int k : {1, 10, 200, 997}) EXPECT_NEAR(ReducedScreening(0.005 * k), Zbl(0.005 * k), 1e-14);
  for (double x : {0.0025, 0.77, 3.1}) EXPECT_NEAR(ReducedScreening(x), Zbl(x), 1e-5 * Zbl(x)) << x;
  EXPECT_GT(ReducedScreening(4.9899), 0.04);
  EXPECT_EQ(ReducedScreening(4.99), 0.0);
  EXPECT_EQ(ReducedScreening(12.0), 0.0);
}

class NonlocalLossTables : public stopping_test::WithStoppingTables {};

TEST_F(NonlocalLossTables, FastIonLosesTheTabulatedStoppingTimesTheLength) {
  STP stp;
  List<Vector> sites;
  const double energy = 1e5;  // eV: the loss along 10 A is a small part of it
  const UniformDensity density;
  const Flight flight = Along(energy, energy, 10.0);
  const double loss = NonlocalLoss(stp, density, sites, 5.0, kBoron, flight, 0.0);
  const double rs = std::cbrt(3.0 / (4.0 * M_PI * density.value)) / 0.529177249;
  const double stopping = stp.Stopping(std::sqrt(energy) * kSpeedFactor, 5.0, rs);
  EXPECT_GT(stopping, 10.0);
  EXPECT_NEAR(loss, stopping * 10.0, 0.01 * stopping * 10.0);
  EXPECT_LT(loss, stopping * 10.0);
}

TEST_F(NonlocalLossTables, CrystalDensityTableServesTheFlight) {
  EDT table;
  table.Initialise(5.431, 5.431, 5.431, 4, 4, 4);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) table.Set(i, j, k, 0.02 + 0.01 * i + 0.003 * j + 0.001 * k);
  STP stp;
  List<Vector> sites;
  const Flight flight = Along(2000.0, 1900.0, 7.0);
  const auto densityAt = [&table](const Vector& p) { return table.Density(p.x, p.y, p.z); };
  EXPECT_EQ(NonlocalLoss(stp, table, sites, 5.0, kBoron, flight, 0.0),
            NonlocalLoss(stp, densityAt, sites, 5.0, kBoron, flight, 0.0));
}
