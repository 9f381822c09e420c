// Interruptions of a run by SIGINT or SIGTERM: the run finishes the ion in
// hand, writes the results of the ions done so far and ends with 128 plus
// the signal's number.
#pragma once

namespace orvane {

// Catches SIGINT and SIGTERM, unless the process was started with them
// ignored (as a background job of a script is): the first one is recorded
// and said on standard error; a second one ends the process at once.
void CatchInterruptions();

// The signal that interrupted the run, 0 while none has.
int InterruptingSignal();

// The name of one of the two signals caught: "SIGINT" or "SIGTERM".
const char* SignalName(int signal);

}  // namespace orvane
