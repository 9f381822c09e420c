#include "run/progress_line.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace orvane;

namespace {
const std::string kErase = "\r\033[K";
}

TEST(ProgressLine, TextGivesIonsRateAndTimeLeft) {
  EXPECT_EQ(ProgressLine::Text(50, 200, 10.0), "# Ion 50 of 200, 5.0 ions/s, 30 s left");
  EXPECT_EQ(ProgressLine::Text(0, 200, 0.0), "# Ion 0 of 200, 0.0 ions/s, 0 s left");
}

TEST(ProgressLine, DrawnAfterTheDelayAtMostEveryInterval) {
  std::ostringstream out;
  ProgressLine line(out, true, false);
  line.Start(100);
  line.Update(1, 0.5);
  EXPECT_EQ(out.str(), "") << "a short simulation shows no line";
  line.Update(10, 2.5);
  EXPECT_EQ(out.str(), kErase + ProgressLine::Text(10, 100, 2.5));
  line.Update(11, 2.6);
  line.Update(12, 2.7);
  EXPECT_EQ(out.str(), kErase + ProgressLine::Text(10, 100, 2.5)) << "redrawn too soon";
  line.Update(13, 2.8);
  EXPECT_EQ(out.str(),
            kErase + ProgressLine::Text(10, 100, 2.5) + kErase + ProgressLine::Text(13, 100, 2.8));
  line.Hide();  // the ion lines go elsewhere: the line stays
  line.Finish();
  EXPECT_EQ(out.str().substr(out.str().size() - kErase.size()), kErase);
  // The next simulation starts without a line.
  const std::string before = out.str();
  line.Start(100);
  line.Finish();
  line.Update(1, 1.0);
  EXPECT_EQ(out.str(), before);
}

TEST(ProgressLine, OnTheScreenOfTheIonLinesItMakesWayForThem) {
  std::ostringstream out;
  ProgressLine line(out, true, true);
  line.Start(100);
  line.Hide();
  EXPECT_EQ(out.str(), "") << "nothing to take away yet";
  line.Update(10, 3.0);
  line.Hide();
  line.Update(11, 3.1);  // too soon for a new text: the old one comes back
  EXPECT_EQ(out.str(), kErase + ProgressLine::Text(10, 100, 3.0) + kErase + kErase +
                           ProgressLine::Text(10, 100, 3.0));
}

TEST(ProgressLine, NeverDrawnOffATerminal) {
  std::ostringstream out;
  ProgressLine line(out, false, false);
  line.Start(10);
  for (int i = 1; i <= 10; ++i) line.Update(i, 10.0 * i);
  line.Hide();
  line.Finish();
  EXPECT_EQ(out.str(), "");
}
