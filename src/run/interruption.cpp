#include "run/interruption.h"

#include <unistd.h>

#include <csignal>

namespace orvane {

namespace {

volatile std::sig_atomic_t received = 0;

extern "C" void OnInterruption(int signal) {
  if (received != 0) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  received = signal;
  static const char text[] =
      "\n# Interrupted: the ion in hand is finished and the results so far are written "
      "(interrupt again to stop at once)\n";
  // Only write is safe here.
  const ssize_t written = write(STDERR_FILENO, text, sizeof text - 1);
  (void)written;
}

void Catch(int signal) {
  struct sigaction action {};
  if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) return;
  action.sa_handler = OnInterruption;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(signal, &action, nullptr);
}

}  // namespace

void CatchInterruptions() {
  Catch(SIGINT);
  Catch(SIGTERM);
}

int InterruptingSignal() { return received; }

const char* SignalName(int signal) { return signal == SIGTERM ? "SIGTERM" : "SIGINT"; }

}  // namespace orvane
