// orvane: Monte Carlo simulation of ion implantation in the binary
// collision approximation.  Usage: orvane parameter-file [mode]
#include <exception>
#include <iostream>
#include <new>

#include "run/cluster.h"
#include "run/run_driver.h"

namespace {

int Run(int argc, char** argv) {
  try {
    return orvane::RunMain(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "# Error: memory exhausted" << std::endl;
    return 302;
  } catch (const std::exception& e) {
    std::cerr << "# Error: " << e.what() << std::endl;
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  orvane::cluster::Start(&argc, &argv);
  const int status = Run(argc, argv);
  orvane::cluster::Stop(status);
  return status;
}
