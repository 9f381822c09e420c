#include "core/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace orvane {

void Fatal(int status, const std::string& message) {
  std::cout.flush();
  std::cerr << message;
  std::cerr.flush();
  std::exit(status);
}

void AssertionFailed(const char* condition, const char* unit, int line) {
  std::cout.flush();
  std::cerr << "# Assertion failed: " << condition << ", unit " << unit << ", line " << line
            << std::endl;
  std::abort();
}

}  // namespace orvane
