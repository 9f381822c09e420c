// Ending the process on errors that the run cannot survive.
#pragma once

#include <stdexcept>
#include <string>

namespace orvane {

// Writes the message to standard error exactly as given and ends the
// process with the status code.
[[noreturn]] void Fatal(int status, const std::string& message);

// What Fatal does with the message and the status before the process ends.
// A program that must outlive the failures it provokes (the fuzz target of
// the parameter reader) installs an end that throws; any other end is
// followed by the end of the process.
using FatalEnd = void (*)(int status, const std::string& message);
void SetFatalEnd(FatalEnd end);

// The failure that ThrowRunFailure throws: the message and the status with
// which the program would have ended.
class RunFailure : public std::runtime_error {
 public:
  RunFailure(int status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  int Status() const { return status_; }

 private:
  int status_;
};

// An end for a program that runs the simulator inside its own process and
// goes on after a failure: throws RunFailure instead of reporting.
[[noreturn]] void ThrowRunFailure(int status, const std::string& message);

// Reports a violated internal condition with the source unit and line that
// guard it, and aborts.
[[noreturn]] void AssertionFailed(const char* condition, const char* unit, int line);

// Guards an internal invariant: the condition text, unit and line are those
// that the report names.
inline void Require(bool holds, const char* condition, const char* unit, int line) {
  if (!holds) AssertionFailed(condition, unit, line);
}

}  // namespace orvane
