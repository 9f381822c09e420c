#include "run/background_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace orvane;

TEST(BackgroundWriter, RunsTheJobsInTheirOrderAndFinishWaitsForThemAll) {
  std::vector<int> done;
  BackgroundWriter writer;
  writer.Finish();  // nothing posted: nothing to wait for
  for (int job = 0; job < 50; ++job) {
    writer.Post([&done, job] {
      if (job % 10 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      done.push_back(job);
    });
  }
  writer.Finish();
  ASSERT_EQ(done.size(), 50u);
  for (int job = 0; job < 50; ++job) EXPECT_EQ(done[job], job);
}

TEST(BackgroundWriter, TheJobsLeftRunBeforeItEnds) {
  int done = 0;
  {
    BackgroundWriter writer;
    for (int job = 0; job < 5; ++job) {
      writer.Post([&done] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++done;
      });
    }
  }
  EXPECT_EQ(done, 5);
}

TEST(BackgroundWriter, AFailedJobIsThrownByFinishAndTheOthersStillRun) {
  BackgroundWriter writer;
  int done = 0;
  writer.Post([] { throw std::runtime_error("can't write"); });
  writer.Post([&done] { ++done; });
  EXPECT_THROW(writer.Finish(), std::runtime_error);
  EXPECT_EQ(done, 1);
  writer.Finish();  // thrown once
}
