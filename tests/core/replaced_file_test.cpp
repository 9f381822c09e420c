#include "core/replaced_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace orvane;
using orvane_test::FileExists;
using orvane_test::ReadFile;
using orvane_test::TempDir;

TEST(ReplacedFile, TheOldFileStaysWholeUntilTheNewOneIsComplete) {
  TempDir dir;
  const std::string path = dir.File("profile");
  orvane_test::WriteFile(path, "old\n");
  {
    ReplacedFile file(path);
    ASSERT_TRUE(file.Stream());
    file.Stream() << "new\n";
    EXPECT_EQ(ReadFile(path), "old\n");  // a reader still finds the old profile
  }
  EXPECT_EQ(ReadFile(path), "new\n");
  EXPECT_FALSE(FileExists(path + ".new"));
}

TEST(ReplacedFile, AFileThatCannotBeOpenedIsSaidSo) {
  ReplacedFile file("/nonexistent/directory/profile");
  EXPECT_FALSE(file.Stream());
}
