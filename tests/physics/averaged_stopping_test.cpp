#include "physics/averaged_stopping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "physics/atomic_speed.h"
#include "physics/nonlocal_loss.h"
#include "stopping_test_tables.h"

using namespace orvane;

namespace {

// A small cell whose densities span the stopping tables' radii and reach
// beyond them (below 0.0012 electrons per cubic angstrom rs passes 5.98
// bohr), with one point without electrons.
EDT UnevenCell() {
  EDT cell;
  cell.Initialise(5.431, 5.431, 5.431, 6, 6, 6);
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 6; ++j)
      for (int k = 0; k < 6; ++k)
        cell.Set(i, j, k, 0.0004 * std::pow(1.9, i) * (1.0 + 0.37 * j) * (1.0 + 0.11 * k));
  cell.Set(5, 5, 5, 0.0);
  return cell;
}

// The stopping of every grid point averaged, as a flight through the cell
// samples it.
double GridMean(STP& stp, const EDT& cell, double v, double z1) {
  double sum = 0.0;
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 6; ++j)
      for (int k = 0; k < 6; ++k) {
        const double n = cell.At(i, j, k);
        if (n > 0.0) sum += stp.Stopping(v, z1, OneElectronRadius(n));
      }
  return sum / 216.0;
}

// The loss along a flight integrated finely: the kinetic energy follows
// dE/dx = (Eb - Ea) / L - S(E), in 4000 midpoint steps; stopped tells
// whether the particle runs out of energy on the way.
double Integrated(const AveragedStopping& stopping, double m1, const Flight& f, bool& stopped) {
  const double speed = AtomicSpeedFactor(m1);
  const auto s = [&](double kinetic) {
    return kinetic > 0.0 ? stopping.At(std::sqrt(kinetic) * speed) : 0.0;
  };
  const int steps = 4000;
  const double h = f.length / steps, gain = (f.endEnergy - f.startEnergy) / f.length;
  double energy = f.startEnergy, loss = 0.0;
  for (int k = 0; k < steps; ++k) {
    const double middle = s(energy + 0.5 * h * (gain - s(energy)));
    loss += h * middle;
    energy += h * (gain - middle);
  }
  stopped = !(energy > 0.0);
  return loss;
}

Flight Straight(double startEnergy, double endEnergy, double length) {
  Flight flight;
  flight.direction = Vector(1.0, 0.0, 0.0);
  flight.startEnergy = startEnergy;
  flight.endEnergy = endEnergy;
  flight.length = length;
  return flight;
}

class AveragedStoppingTables : public stopping_test::WithStoppingTables {};

}  // namespace

TEST(RadiusDistribution, SharesCountEveryPointOfTheGrid) {
  const RadiusDistribution radii = RadiusDistribution::OfGrid(UnevenCell());
  double shares = 0.0;
  for (std::size_t b = 0; b < radii.Share.size(); ++b) {
    shares += radii.Share[b];
    // Each bin's mean radius lies in its bin of the tables' rows.
    if (b > 0) {
      EXPECT_GT(std::floor(radii.Radius[b] / 0.02), std::floor(radii.Radius[b - 1] / 0.02));
    }
  }
  // The point without electrons has no bin but counts in the whole.
  EXPECT_NEAR(shares, 215.0 / 216.0, 1e-12);
  EXPECT_GT(radii.Radius.back(), 5.98);
  EXPECT_TRUE(RadiusDistribution::OfGrid(EDT()).Empty());
}

TEST_F(AveragedStoppingTables, EqualsTheStoppingOfTheGridPointsAveraged) {
  STP stp;
  const EDT cell = UnevenCell();
  const RadiusDistribution radii = RadiusDistribution::OfGrid(cell);
  for (double z1 : {5.0, 33.0}) {
    const AveragedStopping averaged(stp, z1, radii);
    // At and between the columns of the tables, and beyond their speeds.
    for (double v : {0.002, 0.05, 0.1234567, 0.71, 2.3456, 5.495, 5.6, 7.0}) {
      const double expected = GridMean(stp, cell, v, z1);
      EXPECT_NEAR(averaged.At(v), expected, 1e-4 * expected) << "Z1 " << z1 << ", v " << v;
    }
  }
}

TEST_F(AveragedStoppingTables, CacheMakesOneTablePerElementAndLayerUntilReleased) {
  STP stp;
  const RadiusDistribution first = RadiusDistribution::OfGrid(UnevenCell());
  const RadiusDistribution second = first;
  AveragedStoppingCache cache;
  const AveragedStopping& boron = cache.For(stp, 5.0, first);
  EXPECT_EQ(&cache.For(stp, 5.0, first), &boron);
  EXPECT_NE(&cache.For(stp, 5.0, second), &boron);
  EXPECT_NE(&cache.For(stp, 14.0, first), &boron);
  const double before = boron.At(0.3);
  EXPECT_DOUBLE_EQ(cache.For(stp, 5.0, second).At(0.3), before);
  // A new simulation may bring other models: the tables are made again.
  stp.SelectModels(1, 1);
  cache.Release();
  const double after = cache.For(stp, 5.0, first).At(0.3);
  EXPECT_NE(after, before);
  EXPECT_NEAR(after, GridMean(stp, UnevenCell(), 0.3, 5.0), 1e-4 * after);
}

TEST_F(AveragedStoppingTables, LossAlongAFlightIsWithinOneInTenThousandOfTheIntegral) {
  STP stp;
  const RadiusDistribution radii = RadiusDistribution::OfGrid(UnevenCell());
  struct Projectile {
    double z1, m1;
  };
  for (const Projectile p : {Projectile{5.0, 11.009}, Projectile{14.0, 28.086},
                             Projectile{33.0, 74.922}}) {
    const AveragedStopping averaged(stp, p.z1, radii);
    for (double energy : {20.0, 300.0, 5e3, 1e5, 2e6}) {
      for (double length : {0.1, 0.8, 3.0, 12.0}) {
        // A free flight, and the approach to a collision that leaves the
        // projectile 0.5 %, 40 % and 99 % less energy.
        for (double kept : {1.0, 0.995, 0.6, 0.01}) {
          const Flight flight = Straight(energy, energy * kept, length);
          bool stopped = false;
          const double reference = Integrated(averaged, p.m1, flight, stopped);
          // Where the particle stops, the loss is summed in 30 sub-steps.
          const double tolerance = stopped ? 3e-2 : 1e-4;
          EXPECT_NEAR(AveragedLoss(averaged, p.m1, flight), reference,
                      tolerance * reference + 1e-12)
              << "Z1 " << p.z1 << ", " << energy << " eV, " << length << " A, kept " << kept;
        }
      }
    }
  }
  const AveragedStopping boron(stp, 5.0, radii);
  EXPECT_EQ(AveragedLoss(boron, 11.009, Straight(100.0, 100.0, 0.0)), 0.0);
  EXPECT_EQ(AveragedLoss(boron, 11.009, Straight(-5.0, -5.0, 1.0)), 0.0);
}
