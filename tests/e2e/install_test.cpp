// The installed program: "cmake --install" into a fresh prefix, then a run
// from an empty directory without table variables, which reads the shipped
// densities from the prefix and writes the tables it generates under
// ./Tables/.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_support.h"

using namespace orvane_test;

TEST(Install, RunsFromAnEmptyDirectory) {
  TempDir prefix;
  const std::string install = "'" ORVANE_CMAKE "' --install '" ORVANE_BUILD_DIR "' --prefix '" +
                              prefix.Path() + "' > '" + prefix.File("install.log") + "' 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << ReadFile(prefix.File("install.log"));
  EXPECT_TRUE(FileExists(prefix.File("bin/orvane")));
  EXPECT_TRUE(FileExists(prefix.File("share/orvane/Tables/N14.den")));
  EXPECT_TRUE(FileExists(prefix.File("share/orvane/Tables/N102.den")));
  EXPECT_TRUE(FileExists(prefix.File("share/orvane/Tables/README-atomic-densities.md")));
  EXPECT_TRUE(FileExists(prefix.File("share/doc/orvane/README.md")));
  // The keyword reference beside it, where its link points.
  EXPECT_TRUE(FileExists(prefix.File("share/doc/orvane/docs/keywords.md")));

  TempDir run;
  WriteFile(run.File("p.in"), "ENERGY 2000 NumberOfImplants 3\n");
  const std::string program = "'" + prefix.File("bin/orvane") + "'";
  const int status = std::system(("cd '" + run.Path() + "' && env -u TABLES3DDIR -u EDTDIR " +
                                  program + " p.in > out.txt 2> err.txt < /dev/null")
                                     .c_str());
  ASSERT_EQ(status, 0) << ReadFile(run.File("err.txt"));
  EXPECT_NE(ReadFile(run.File("err.txt")).find(prefix.File("share/orvane/Tables/N14.den")),
            std::string::npos);
  EXPECT_NE(ReadFile(run.File("out.txt")).find("# Summary of simulation 1"), std::string::npos);
  // The generated tables go under the prefix; the densities stay installed.
  EXPECT_TRUE(FileExists(run.File("Tables/Zel0514.dat")));
  EXPECT_TRUE(FileExists(run.File("Tables/EDT_Si.lit")) ||
              FileExists(run.File("Tables/EDT_Si.big")));
  EXPECT_FALSE(FileExists(run.File("Tables/N14.den")));
}
