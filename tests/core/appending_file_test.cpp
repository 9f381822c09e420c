#include "core/appending_file.h"

#include <gtest/gtest.h>

#include "core/fatal.h"
#include "support/test_support.h"

using namespace orvane;
using orvane_test::ReadFile;
using orvane_test::TempDir;

TEST(AppendingFile, LinesGoAfterWhatTheFileHeldAndReachItOnFlushOrClose) {
  TempDir dir;
  const std::string path = dir.File("DDBC_1D.dat");
  orvane_test::WriteFile(path, "0.5\n");
  AppendingFile file;
  file.Open(path, "Test");
  file.Write("1\n");
  file.Flush();
  EXPECT_EQ(ReadFile(path), "0.5\n1\n");
  file.Write("2\n");
  file.Close();
  file.Write("lost\n");  // closed: nothing
  EXPECT_EQ(ReadFile(path), "0.5\n1\n2\n");
  file.Open(path, "Test");  // the next simulation appends again
  file.Write("3\n");
  file.Open(path, "Test");  // closes the one before
  EXPECT_EQ(ReadFile(path), "0.5\n1\n2\n3\n");
}

TEST(AppendingFile, AFileThatCannotBeOpenedIsSaidOnceAndTheRunGoesOn) {
  testing::internal::CaptureStderr();
  AppendingFile file;
  file.Open("/nonexistent-dir/MaxAmorf_vs_Dose.dat", "RunSimulations");
  file.Write("1\n");
  file.Flush();
  file.Close();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Error: RunSimulations, Can't open /nonexistent-dir/MaxAmorf_vs_Dose.dat\n");
}

TEST(AppendingFileDeathTest, AFatalEndWritesTheBufferedLines) {
  TempDir dir;
  const std::string path = dir.File("MaxAmorf_vs_Dose.dat");
  EXPECT_EXIT(
      {
        AppendingFile file;
        file.Open(path, "Test");
        file.Write("kept\n");
        Fatal(301, "# Error: a result file can't be written\n");
      },
      testing::ExitedWithCode(301 & 0xFF), "can't be written");
  EXPECT_EQ(ReadFile(path), "kept\n");
}
