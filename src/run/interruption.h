// Interruptions of a run by SIGINT or SIGTERM: the run finishes the ion in
// hand, writes the results of the ions done so far and ends with 128 plus
// the signal's number.
#pragma once

#include <signal.h>

namespace orvane {

// While it lives, catches SIGINT and SIGTERM, unless they are ignored (as
// in a background job of a script): the first one is recorded and said on
// standard error; a second one ends the process at once.  It starts with
// no signal recorded and gives the signals back to the handlers they had
// before, so a program that runs several runs in its own process keeps its
// own handling of them between runs.
class InterruptionCatcher {
 public:
  InterruptionCatcher();
  ~InterruptionCatcher();
  InterruptionCatcher(const InterruptionCatcher&) = delete;
  InterruptionCatcher& operator=(const InterruptionCatcher&) = delete;

 private:
  struct sigaction earlier_[2] = {};  // the actions of SIGINT and SIGTERM before
};

// The signal that interrupted the run, 0 while none has.
int InterruptingSignal();

// The name of one of the two signals caught: "SIGINT" or "SIGTERM".
const char* SignalName(int signal);

}  // namespace orvane
