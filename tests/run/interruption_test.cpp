#include "run/interruption.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace orvane;

namespace {

volatile std::sig_atomic_t ownHandlerCalls = 0;

extern "C" void OwnHandler(int) { ownHandlerCalls = ownHandlerCalls + 1; }

}  // namespace

// A program that runs several runs in its process (the Python module)
// keeps its own handler between them, and each run starts uninterrupted.
TEST(InterruptionCatcher, CatchesForItsRunOnlyAndEachRunStartsUninterrupted) {
  std::signal(SIGINT, OwnHandler);
  {
    const InterruptionCatcher run;
    EXPECT_EQ(InterruptingSignal(), 0);
    std::raise(SIGINT);
    EXPECT_EQ(InterruptingSignal(), SIGINT);
  }
  EXPECT_EQ(ownHandlerCalls, 0);
  std::raise(SIGINT);
  EXPECT_EQ(ownHandlerCalls, 1);
  {
    const InterruptionCatcher next;
    EXPECT_EQ(InterruptingSignal(), 0);
  }
  // A signal that the process ignores stays ignored.
  std::signal(SIGTERM, SIG_IGN);
  {
    const InterruptionCatcher run;
    std::raise(SIGTERM);
    EXPECT_EQ(InterruptingSignal(), 0);
  }
  struct sigaction after {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}
