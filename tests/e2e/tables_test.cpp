// The collision-table store as a run sees it: a text table converted to
// binary once, the binary read back, a truncated binary accepted, and the
// table directory used as a verbatim prefix.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

using namespace orvane_test;

namespace {

const std::string kTables = PreparedTablesDir();

RunResult RunWithTables(const TempDir& dir, const std::string& prefix) {
  return RunFile(dir, "NumberOfImplants 0\n",
                 "TABLES3DDIR='" + prefix + "' EDTDIR='" + OwnTables(dir) + "'");
}

}  // namespace

TEST(TableStore, TextTableIsConvertedOnceThenReadAsBinary) {
  TempDir dir, tables;
  std::filesystem::copy_file(kTables + "Zel0514.dat", tables.File("Zel0514.dat"));
  const RunResult first = RunWithTables(dir, tables.Path() + "/");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("# Found ... " + tables.File("Zel0514.dat")), std::string::npos)
      << first.out;
  ASSERT_TRUE(FileExists(tables.File("Zel0514.lit")));
  EXPECT_EQ(std::filesystem::file_size(tables.File("Zel0514.lit")), 121160u);
  EXPECT_EQ(ReadFile(tables.File("Zel0514.lit")), ReadFile(kTables + "Zel0514.lit"));

  const RunResult second = RunWithTables(dir, tables.Path() + "/");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_NE(second.out.find("# Found " + tables.File("Zel0514.lit") + " (100%) OK. "),
            std::string::npos)
      << second.out;

  std::filesystem::resize_file(tables.File("Zel0514.lit"), 1000);
  const RunResult truncated = RunWithTables(dir, tables.Path() + "/");
  ASSERT_EQ(truncated.status, 0) << truncated.err;
  EXPECT_NE(truncated.out.find("# Found " + tables.File("Zel0514.lit") + " (0%) OK. "),
            std::string::npos)
      << truncated.out;
}

TEST(TableStore, TheDirectoryIsAVerbatimPrefix) {
  TempDir dir, tables;
  const std::string prefix = tables.File("pre_");
  std::filesystem::copy_file(kTables + "Zel0514.lit", prefix + "Zel0514.lit");
  const RunResult r = RunWithTables(dir, prefix);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("# Found " + prefix + "Zel0514.lit (100%) OK. "), std::string::npos)
      << r.out;
}
