// Fuzz target of the parameter reader and of the completion of the run
// configuration: any parameter file must end in the configuration or in
// one of the reader's own failures, never in an assertion, a signal or a
// sanitizer report.  Run it in a scratch directory: every input is written
// there as "p.in", and the configuration creates "Dp.in/Parameters.out".
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "core/fatal.h"
#include "run/configure.h"
#include "run/run_state.h"

namespace {

// A failure of the reader: the input is refused, the fuzzer goes on.
struct Refused {
  int status;
};

void Refuse(int status, const std::string& /*message*/) { throw Refused{status}; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  orvane::SetFatalEnd(Refuse);
  {
    std::ofstream file("p.in", std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  char program[] = "orvane";
  char parameters[] = "p.in";
  char* argv[] = {program, parameters, nullptr};
  orvane::RunState state;
  orvane::Defaults(state);
  try {
    orvane::Configure(state, 2, argv);
  } catch (const Refused&) {
  }
  return 0;
}
