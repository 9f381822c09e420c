#include "core/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>

namespace orvane {

namespace {

void Report(int /*status*/, const std::string& message) {
  std::cout.flush();
  std::cerr << message;
  std::cerr.flush();
}

FatalEnd fatalEnd = Report;

}  // namespace

void ThrowRunFailure(int status, const std::string& message) { throw RunFailure(status, message); }

void SetFatalEnd(FatalEnd end) { fatalEnd = end != nullptr ? end : Report; }

void Fatal(int status, const std::string& message) {
  // One thread reports and ends the process; another that fails meanwhile
  // waits here for the end.  An end that throws lets the next one in.
  static std::mutex ending;
  std::unique_lock<std::mutex> onlyOne(ending);
  fatalEnd(status, message);
  std::exit(status);
}

void AssertionFailed(const char* condition, const char* unit, int line) {
  std::cout.flush();
  std::cerr << "# Assertion failed: " << condition << ", unit " << unit << ", line " << line
            << std::endl;
  std::abort();
}

}  // namespace orvane
