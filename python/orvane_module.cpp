// The extension _orvane of the Python package orvane: one run of a
// parameter file in the interpreter's process, as the program runs it.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <exception>
#include <iostream>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "core/fatal.h"
#include "physics/table_directory.h"
#include "run/command_line.h"
#include "run/run_driver.h"
#include "target/density_path.h"

namespace py = pybind11;

namespace {

// What a run ends with: its status, and the message of a failure (empty
// for a run that ended, whole or interrupted).
struct Outcome {
  int Status = 0;
  std::string Message;
};

// The table directories, and failures that throw, for one run; the
// defaults of the program again afterwards.
class RunSettings {
 public:
  RunSettings(const std::string& tables, const std::string& densities) {
    orvane::SetTableDirectory(tables);
    orvane::SetDensityDirectory(densities);
    orvane::SetFatalEnd(orvane::ThrowRunFailure);
  }
  ~RunSettings() {
    orvane::SetFatalEnd(nullptr);
    orvane::SetTableDirectory("");
    orvane::SetDensityDirectory("");
  }
  RunSettings(const RunSettings&) = delete;
  RunSettings& operator=(const RunSettings&) = delete;
};

Outcome RunOnce(const std::string& path, const std::string& directory, int threads,
                const std::string& tables, const std::string& densities,
                const std::vector<std::string>& words) {
  std::string program = "orvane";
  std::string parameters = path;
  orvane::CommandLine line;
  line.Threads = threads;
  line.Arguments = {program.data(), parameters.data(), nullptr};
  const RunSettings settings(tables, densities);
  try {
    return Outcome{orvane::RunCommandLine(line, words, directory), ""};
  } catch (const orvane::RunFailure& failure) {
    return Outcome{failure.Status(), failure.what()};
  } catch (const std::bad_alloc&) {
    return Outcome{302, "# Error: memory exhausted\n"};
  } catch (const std::exception& e) {
    return Outcome{1, std::string("# Error: ") + e.what() + "\n"};
  }
}

// Runs the parameter file; threads is -1 for the one random stream.
// Returns the status and the message of a failure.
py::tuple Run(const std::string& path, const std::string& directory, int threads,
              const std::string& tables, const std::string& densities,
              const std::vector<std::string>& words) {
  // The run's tables, signal handlers and output streams are the
  // process's: one run at a time.
  static std::mutex oneRun;
  Outcome outcome;
  {
    py::gil_scoped_release free;
    const std::lock_guard<std::mutex> only(oneRun);
    outcome = RunOnce(path, directory, threads, tables, densities, words);
    std::cout.flush();
  }
  return py::make_tuple(outcome.Status, outcome.Message);
}

}  // namespace

PYBIND11_MODULE(_orvane, module) {
  module.doc() = "The simulator run in the interpreter's process (use the package orvane).";
  module.def("run", &Run, py::arg("path"), py::arg("directory"), py::arg("threads"),
             py::arg("tables"), py::arg("densities"), py::arg("words"),
             "Runs the parameter file; returns (status, failure message).");
  module.attr("ONE_STREAM") = orvane::kOneStream;
  module.attr("VERSION_LINE") = std::string(orvane::kVersionLine);
}
