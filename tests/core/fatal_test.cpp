#include "core/fatal.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

struct Ended {
  int status;
  std::string message;
};

void Throw(int status, const std::string& message) { throw Ended{status, message}; }

}  // namespace

TEST(Fatal, AnEndThatThrowsLetsTheCallerGoOnAndTheDefaultEndsTheProcess) {
  SetFatalEnd(Throw);
  try {
    Fatal(606, "# Error: refused\n");
    FAIL() << "Fatal returned";
  } catch (const Ended& e) {
    EXPECT_EQ(e.status, 606);
    EXPECT_EQ(e.message, "# Error: refused\n");
  }
  SetFatalEnd(nullptr);
  EXPECT_EXIT(Fatal(301, "# Error: x\n"), testing::ExitedWithCode(301 & 0xFF), "^# Error: x\n$");
}
