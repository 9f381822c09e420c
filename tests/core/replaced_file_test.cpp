#include "core/replaced_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_support.h"

using namespace orvane;
using orvane_test::FileExists;
using orvane_test::ReadFile;
using orvane_test::TempDir;

namespace {

int FilesIn(const TempDir& dir) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    (void)entry;
    ++count;
  }
  return count;
}

// Writes 5000 bytes where only 1000 fit, in the process of a death test.
bool CommitOnAFullDisk(const std::string& path) {
  orvane_test::LimitFileSizeAsOnAFullDisk(1000);
  ReplacedFile full(path);
  full.Stream() << std::string(5000, 'x');
  return full.Commit();
}

}  // namespace

TEST(ReplacedFile, TheOldFileStaysWholeUntilTheNewOneIsCommitted) {
  TempDir dir;
  const std::string path = dir.File("profile");
  orvane_test::WriteFile(path, "old\n");
  ReplacedFile file(path);
  ASSERT_TRUE(file.Stream());
  file.Stream() << "new\n";
  file.Stream().flush();
  EXPECT_EQ(ReadFile(path), "old\n");  // a reader still finds the old profile
  EXPECT_EQ(FilesIn(dir), 2);
  EXPECT_TRUE(file.Commit());
  EXPECT_EQ(ReadFile(path), "new\n");
  EXPECT_EQ(FilesIn(dir), 1);
}

TEST(ReplacedFile, AnAbandonedFileLeavesTheOldOneAndNoTrace) {
  TempDir dir;
  const std::string path = dir.File("table");
  orvane_test::WriteFile(path, "old\n");
  {
    ReplacedFile file(path, std::ios::out | std::ios::binary);
    file.Stream() << "half";
  }
  EXPECT_EQ(ReadFile(path), "old\n");
  EXPECT_EQ(FilesIn(dir), 1);
}

TEST(ReplacedFile, FailuresToOpenWriteOrRenameAreSaidByCommit) {
  ReplacedFile nowhere("/nonexistent/directory/profile");
  EXPECT_FALSE(nowhere.Stream());
  EXPECT_FALSE(nowhere.Commit());

  TempDir dir;
  std::filesystem::create_directories(dir.File("taken/inside"));
  ReplacedFile onDirectory(dir.File("taken"));
  onDirectory.Stream() << "x\n";
  EXPECT_FALSE(onDirectory.Commit());
  EXPECT_EQ(FilesIn(dir), 1);

  EXPECT_EXIT(std::exit(CommitOnAFullDisk(dir.File("full")) ? 1 : 7),
              testing::ExitedWithCode(7), "");
  EXPECT_FALSE(FileExists(dir.File("full")));
}
