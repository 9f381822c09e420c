#include "target/density_superposition.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "target/lattice_type.h"
#include "target_test_support.h"

using namespace orvane;
using orvane_test::BasisSite;
using orvane_test::BuildCrystal;
using orvane_test::Diamond;
using orvane_test::ScopedDensityDir;

namespace {

class SuperpositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ScopedDensityDir shipped(orvane_test::ShippedDensityDir());
    testing::internal::CaptureStderr();
    (*densities_)[1].ReadTable("N31.den", 1);  // Ga
    (*densities_)[2].ReadTable("N33.den", 1);  // As
    (*densities_)[3].ReadTable("N14.den", 1);  // Si
    testing::internal::GetCapturedStderr();
  }

  // The sum as described: at every grid point, over the sites in list
  // order, the density of the site's element at the distance to the point.
  void ExpectDirectSum(const Crystal& crystal, const EDT& grid) {
    const IsolatedDensities& d = *densities_;
    for (int i = 0; i < grid.Points(0); ++i) {
      for (int j = 0; j < grid.Points(1); ++j) {
        for (int k = 0; k < grid.Points(2); ++k) {
          const Vector point(-grid.Side(0) / 2 + i * grid.Side(0) / grid.Points(0),
                             -grid.Side(1) / 2 + j * grid.Side(1) / grid.Points(1),
                             -grid.Side(2) / 2 + k * grid.Side(2) / grid.Points(2));
          double rho = 0.0;
          for (const Site& site : crystal.Sites) {
            const double r = Distance(point, site.R);
            rho += site.Fraction == 1.0 ? d[site.Species].Density(r)
                                        : site.Fraction * d[site.SpeciesA].Density(r) +
                                              (1.0 - site.Fraction) * d[site.SpeciesB].Density(r);
          }
          ASSERT_EQ(grid.At(i, j, k), rho) << i << " " << j << " " << k;
        }
      }
    }
  }

  std::unique_ptr<IsolatedDensities> densities_ = std::make_unique<IsolatedDensities>();
};

}  // namespace

TEST_F(SuperpositionTest, EqualsTheDirectSumOfDiamondSilicon) {
  const Crystal silicon = Diamond(5.431, 3);
  EDT grid;
  grid.Initialise(5.431, 5.431, 5.431, 7, 8, 12);
  SuperposeDensities(silicon.Sites, *densities_, grid, nullptr);
  ExpectDirectSum(silicon, grid);
}

TEST_F(SuperpositionTest, EqualsTheDirectSumWithMixedSitesAndEveryPointIsFilled) {
  // Zinc blende GaAs with an arsenic site that holds gallium 30 % of the
  // time.  With a = 5.653 A and 12 points the coordinate of a grid point,
  // truncated back to an index, would fall one plane short for several
  // planes; every point must still hold its own sum.
  const BasisSite basis[] = {{NullVector, FACE_CENTERED, 1, 1, 1.0},
                             {Vector(0.25, 0.25, 0.25), FACE_CENTERED, 1, 2, 0.3}};
  const Crystal gaas = BuildCrystal(basis, Vector(5.653, 5.653, 5.653));
  EDT grid;
  grid.Initialise(5.653, 5.653, 5.653, 12, 5, 12);
  SuperposeDensities(gaas.Sites, *densities_, grid, nullptr);
  ExpectDirectSum(gaas, grid);
  for (int i = 0; i < 12; ++i) EXPECT_GT(grid.At(i, 2, 11 - i), 1e-3);
}

TEST_F(SuperpositionTest, ReportsThePlanesStillToDo) {
  const Crystal silicon = Diamond(5.431, 3);
  EDT grid;
  grid.Initialise(5.431, 5.431, 5.431, 3, 2, 2);
  std::ostringstream progress;
  SuperposeDensities(silicon.Sites, *densities_, grid, &progress);
  const std::string b(9, '\b');
  EXPECT_EQ(progress.str(), "       3" + b + "       2" + b + "       1" + b);
}

TEST_F(SuperpositionTest, TheDensityOfTheSiliconCellIsPhysical) {
  const Crystal silicon = Diamond(5.431, 3);
  EDT grid;
  grid.Initialise(5.431, 5.431, 5.431, 16, 16, 16);
  SuperposeDensities(silicon.Sites, *densities_, grid, nullptr);
  // Midway along a bond the density exceeds the tetrahedral interstice.
  const double bond = grid.Density(5.431 / 8, 5.431 / 8, -5.431 / 8);
  const double interstice = grid.Density(5.431 / 2, 5.431 / 2, -5.431 / 2);
  EXPECT_GT(bond, interstice);
  // The cubic symmetry of the cell: the three axes are alike.
  EXPECT_NEAR(grid.Density(1.0, 0.3, -0.2), grid.Density(0.3, 1.0, -0.2), 1e-3);
}
