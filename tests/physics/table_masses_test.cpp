#include "physics/table_masses.h"

#include <gtest/gtest.h>

#include <string>

#include "physics/scattering_tables.h"
#include "support/test_support.h"

using namespace orvane;
using orvane_test::TempDir;
using orvane_test::WriteFile;

namespace {

// A table file whose 200-byte header carries the masses (amu), or none
// when they are 0.
void WriteTable(const std::string& path, double w1, double w2) {
  std::string header(200, '%');
  header.replace(0, 17, std::string("nE=72,nS=30,nV=7") + '\0');
  if (w1 > 0.0) WriteMassTag(&header[0], w1, w2);
  WriteFile(path, header + "1 2 3\n");
}

}  // namespace

TEST(TableMasses, ATableServesMassesWithinATenthOfAPercent) {
  TempDir dir;
  scattering_test::ScopedTableDirectory tables(dir.Path() + "/");
  testing::internal::CaptureStdout();
  EXPECT_EQ(TableNameForMasses("Zel0514.dat", 10.013, 28.086), "Zel0514.dat");  // no table yet
  WriteTable(dir.File("Zel0514.dat"), 11.0, 28.086);
  EXPECT_EQ(TableNameForMasses("Zel0514.dat", 11.009, 28.086), "Zel0514.dat");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  testing::internal::CaptureStdout();
  EXPECT_EQ(TableNameForMasses("Zel0514.dat", 10.811, 28.086), "Zel0514_10.811_28.086.dat");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "# Zel0514.dat was made for W1=11,W2=28.086; the pair of W1=10.811,W2=28.086 takes "
            "Zel0514_10.811_28.086.dat\n");
  // The binary table is read first; a table without masses serves any.
  WriteTable(dir.File("Zel0514.lit"), 0.0, 0.0);
  EXPECT_EQ(TableNameForMasses("Zel0514.dat", 10.811, 28.086), "Zel0514.dat");
}
