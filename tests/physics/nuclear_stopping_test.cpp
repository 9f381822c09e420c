// The nuclear stopping that the collision look-ups give, against the same
// integral over the exact classical scattering angle of the pair's screened
// potential: S_n(E) = Int T(E, p) 2 pi p dp over the impact parameters that
// the cascade uses.  The tables are right at their grid points; this checks
// what happens between them.
#include <gtest/gtest.h>

#include <cmath>

#include "physics/scattering_integral.h"
#include "physics/scattering_tables.h"

namespace orvane {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The largest impact parameter of a collision partner in a default run, A.
constexpr double kLargestImpact = 2.7155;

struct Pair {
  const char* name;
  int projectile;  // position in the shared element list
  int z1;
  double w1;
};

// Simpson's rule of T(p) 2 pi p on [0, kLargestImpact], on a grid fine
// enough (0.0005 A) to follow T near p = 0.
template <class Transfer>
double NuclearStopping(const Transfer& transfer) {
  const int intervals = 5432;
  const double h = kLargestImpact / intervals;
  double sum = 0.0;
  for (int k = 0; k <= intervals; ++k) {
    const double p = k * h;
    const double weight = (k == 0 || k == intervals) ? 1.0 : (k % 2 ? 4.0 : 2.0);
    sum += weight * transfer(p) * 2.0 * kPi * p;
  }
  return sum * h / 3.0;
}

TEST(NuclearStopping, LookUpsFollowTheScatteringIntegral) {
  scattering_test::SharedTables& shared = scattering_test::Shared();
  // P-Si is generated here, in the shared directory, by its first look-up;
  // sanitizer builds leave it out.
  const scattering_test::ScopedTableDirectory tables(shared.prefix);
  const Pair pairs[] = {{"B", 1, 5, 10.811}, {"As", 3, 33, 74.9216}, {"P", 4, 15, 30.973762}};
  const int count = scattering_test::kUnderSanitizer ? 2 : 3;
  const double silicon = 28.086;
  for (int n = 0; n < count; ++n) {
    const Pair& pair = pairs[n];
    const orvane_test::CentralPotential zbl = orvane_test::ZblPotential(pair.z1, 14);
    for (double energy : {1e3, 1e4, 1e5}) {
      const double looked = NuclearStopping([&](double p) {
        CollisionOutcome out;
        shared.store.Lookup(pair.projectile, 2, energy, p, shared.atoms, shared.potentials, out);
        return out.RecoilEnergy;
      });
      const double exact = NuclearStopping([&](double p) {
        return p == 0.0 ? 0.0 : orvane_test::RecoilEnergy(zbl, pair.w1, silicon, energy, p);
      });
      EXPECT_NEAR(looked / exact, 1.0, 0.03) << pair.name << " into Si at " << energy << " eV";
      std::cout << "[ measured ] " << pair.name << " into Si at " << energy
                << " eV: look-up / integral = " << looked / exact << "\n";
    }
  }
}

}  // namespace
}  // namespace orvane
