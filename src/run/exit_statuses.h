// The exit statuses of the program with their meanings in short, for the
// help text.  A new status is added here.
#pragma once

namespace orvane {

struct ExitStatus {
  int Code;
  const char* Meaning;
};

extern const ExitStatus kExitStatuses[];
extern const int kExitStatusCount;

}  // namespace orvane
