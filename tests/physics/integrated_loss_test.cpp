#include "physics/integrated_loss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "physics/site_potential.h"
#include "stopping_test_tables.h"
#include "target/radius_distribution.h"

using namespace orvane;

namespace {

constexpr double kCell = 5.431;  // A

// The eight atoms of the diamond cell, in units of the cell.
const double kDiamond[8][3] = {{0, 0, 0},          {0, 0.5, 0.5},      {0.5, 0, 0.5},
                               {0.5, 0.5, 0},      {0.25, 0.25, 0.25}, {0.25, 0.75, 0.75},
                               {0.75, 0.25, 0.75}, {0.75, 0.75, 0.25}};

// The shortest distance between two points of the periodic cell.
double PeriodicDistance(const Vector& a, const Vector& b) {
  Vector d = a - b;
  for (double* c : {&d.x, &d.y, &d.z}) *c -= kCell * std::round(*c / kCell);
  return d.Length();
}

// The density of a silicon-like crystal on a grid as coarse as the
// program's (about 0.1 A): cores of 40 electrons per A^3 that fall off
// within 0.1 A and valence shells of 0.4 per A^3 within 0.6 A, so that the
// radius runs from the first rows of the stopping tables to beyond their
// last (between the atoms), and a flight crosses many cells.
const EDT& SiliconLikeDensity() {
  static const EDT table = [] {
    EDT t;
    const int n = 56;
    t.Initialise(kCell, kCell, kCell, n, n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k) {
          const Vector point((i - n / 2) * kCell / n, (j - n / 2) * kCell / n,
                             (k - n / 2) * kCell / n);
          double density = 0.0;
          for (const auto& atom : kDiamond) {
            const double r = PeriodicDistance(point, Vector(atom[0], atom[1], atom[2]) * kCell);
            density += 40.0 * std::exp(-r / 0.1) + 0.4 * std::exp(-r / 0.6);
          }
          t.Set(i, j, k, density);
        }
    return t;
  }();
  return table;
}

// The diamond sites within the reach of the flight's start, absolute
// positions, as the partner search collects them.
List<Vector> SitesAround(const Vector& start, double reach) {
  List<Vector> sites;
  for (int a = -2; a <= 2; ++a)
    for (int b = -2; b <= 2; ++b)
      for (int c = -2; c <= 2; ++c)
        for (const auto& atom : kDiamond) {
          const Vector site = (Vector(a, b, c) + Vector(atom[0], atom[1], atom[2])) * kCell;
          if (Distance(site, start) < reach) sites.Add(site);
        }
  return sites;
}

struct Species {
  const char* name;
  double z;
  double mass;
};

const Species kSpecies[] = {
    {"B", 5, 10.81}, {"P", 15, 30.974}, {"As", 33, 74.922}, {"Si", 14, 28.086}, {"F", 9, 18.998}};

class IntegratedLoss : public stopping_test::WithStoppingTables {};

}  // namespace

// Over energies from tens of eV to MeV, the five species, flights from
// 1e-4 A to 20 A, free flights and flights among nearby atoms (collision
// flights that lose energy on the way), with particles that stop inside
// the flight: the loss is the sub-steps' sum within 1e-4, and the
// linearized sum holds for most flights by itself.
TEST_F(IntegratedLoss, IsTheSubStepSumWithinATenThousandth) {
  const EDT& density = SiliconLikeDensity();
  std::mt19937_64 random(20261209);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  const auto logUniform = [&](double low, double high) {
    return low * std::pow(high / low, uniform(random));
  };
  for (const Species& species : kSpecies) {
    STP stp;
    int linearized = 0, stopped = 0, amongAtoms = 0;
    const int flights = 3000;
    for (int n = 0; n < flights; ++n) {
      Flight flight;
      flight.start = Vector(uniform(random), uniform(random), uniform(random)) * kCell;
      flight.direction =
          Normalized(Vector(uniform(random) - 0.5, uniform(random) - 0.5, uniform(random) - 0.5));
      // One flight in three slow and long enough to stop on the way.
      const bool slow = n % 3 == 2;
      flight.length = slow ? logUniform(1.0, 20.0) : logUniform(1e-4, 20.0);
      flight.startEnergy = slow ? logUniform(1.0, 30.0) : logUniform(20.0, 3e6);
      const bool collision = n % 2 == 1;
      flight.endEnergy =
          collision ? flight.startEnergy * (0.5 + 0.5 * uniform(random)) : flight.startEnergy;
      List<Vector> sites;
      if (collision) {
        // The lattice about the start, and the partner off the end of the
        // flight by an impact parameter of up to 1 A.
        sites = SitesAround(flight.start, 3.0);
        const Vector across = Normalized(Cross(flight.direction, Vector(0.3, 1.0, -0.2)));
        sites.Add(flight.start + flight.direction * flight.length + across * uniform(random));
      }
      const double z2 = collision ? 14.0 : 0.0;
      const double exact = NonlocalLoss(stp, density, sites, species.z, species.mass, flight, z2);
      const double integrated =
          IntegratedNonlocalLoss(stp, density, sites, species.z, species.mass, flight, z2);
      ASSERT_LE(std::abs(integrated - exact), 1e-4 * exact)
          << species.name << " flight " << n << ": " << flight.length << " A from "
          << flight.startEnergy << " to " << flight.endEnergy << " eV";
      double densities[kFlightSubSteps], potentials[kFlightSubSteps];
      const Vector step = flight.direction * (flight.length / kFlightSubSteps);
      density.DensitiesAlong(flight.start.x, flight.start.y, flight.start.z, step.x, step.y, step.z,
                             kFlightSubSteps, densities);
      SitePotential(sites, species.z, z2).Along(flight.start, step, kFlightSubSteps, potentials);
      double loss;
      if (LinearizedLoss(stp.TableOf(species.z), densities, potentials, species.mass, flight,
                         loss)) {
        ++linearized;
      }
      if (exact > 0.5 * flight.endEnergy) ++stopped;
      for (double potential : potentials) {
        if (potential == 0.0) continue;
        ++amongAtoms;
        break;
      }
    }
    std::cout << "[ measured ] " << species.name << ": " << linearized << " of " << flights
              << " flights linearized, " << stopped << " stopping, " << amongAtoms
              << " among atoms\n";
    EXPECT_GT(linearized, flights / 2) << species.name;
    EXPECT_GT(stopped, flights / 50) << species.name;
    EXPECT_GT(amongAtoms, flights / 10) << species.name;
  }
}

// A site on the path, just within or just beyond the potential's range at
// one sub-step's point: the potential energies along the flight are those
// of each point's own look-up, bit for bit.
TEST(SitePotentialAlong, IsThePotentialAtEachPointBitForBit) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  const double range = 4.99 * 0.4683766 / (std::pow(33.0, 0.23) + std::pow(14.0, 0.23));
  for (int n = 0; n < 2000; ++n) {
    const Vector start = Vector(uniform(random), uniform(random), uniform(random)) * 1e3;
    const Vector direction = Normalized(Vector(uniform(random), uniform(random), uniform(random)));
    const double length = std::pow(10.0, 2.5 * uniform(random) - 1.5);
    const Vector step = direction * (length / 30);
    List<Vector> sites;
    for (int s = 0; s < 6; ++s) {
      // Near a point of the path, across it by about the range.
      const int k = static_cast<int>(30 * std::abs(uniform(random)));
      const Vector across = Normalized(Cross(direction, Vector(uniform(random), 1.0, 0.5)));
      sites.Add(start + direction * (k * length / 30) +
                across * (range * (1.0 + 1e-12 * uniform(random)) * (s % 2)) +
                direction * (0.3 * uniform(random) * (s / 3)));
    }
    const SitePotential potential(sites, 33.0, 14.0);
    double along[30];
    potential.Along(start, step, 30, along);
    Vector point = start;
    for (int k = 0; k < 30; ++k, point += step) {
      ASSERT_EQ(along[k], potential.At(point)) << n << " " << k;
    }
  }
}

TEST(FastOneElectronRadius, IsTheCubeRootsRadiusWithinABillionth) {
  for (double n = 1e-10; n < 1e5; n *= 1.0137) {
    ASSERT_NEAR(FastOneElectronRadius(n), OneElectronRadius(n), 1e-9 * OneElectronRadius(n)) << n;
  }
}
