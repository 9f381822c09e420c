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

constexpr int kCaught[] = {SIGINT, SIGTERM};

// Catches the signal unless it is ignored; earlier receives its action.
void Catch(int signal, struct sigaction& earlier) {
  if (sigaction(signal, nullptr, &earlier) != 0 || earlier.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = OnInterruption;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(signal, &action, nullptr);
}

}  // namespace

InterruptionCatcher::InterruptionCatcher() {
  received = 0;
  for (int i = 0; i < 2; ++i) Catch(kCaught[i], earlier_[i]);
}

InterruptionCatcher::~InterruptionCatcher() {
  for (int i = 0; i < 2; ++i) {
    if (earlier_[i].sa_handler != SIG_IGN) sigaction(kCaught[i], &earlier_[i], nullptr);
  }
}

int InterruptingSignal() { return received; }

const char* SignalName(int signal) { return signal == SIGTERM ? "SIGTERM" : "SIGINT"; }

}  // namespace orvane
