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

// The words are a command line of the program: its options are read as
// the program reads them.
Outcome RunOnce(const std::vector<std::string>& words, const std::string& directory,
                const std::string& tables, const std::string& densities) {
  std::vector<std::string> texts = words;
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  const RunSettings settings(tables, densities);
  try {
    const orvane::CommandLine line =
        orvane::ReadCommandLine(static_cast<int>(texts.size()), argv.data());
    return Outcome{orvane::RunCommandLine(line, words, directory), ""};
  } catch (const orvane::RunFailure& failure) {
    return Outcome{failure.Status(), failure.what()};
  } catch (const std::bad_alloc&) {
    return Outcome{302, "# Error: memory exhausted\n"};
  } catch (const std::exception& e) {
    return Outcome{1, std::string("# Error: ") + e.what() + "\n"};
  }
}

// Runs the command line (options and parameter file) into the directory
// (empty: the program's); returns the status and the message of a failure.
py::tuple Run(const std::vector<std::string>& words, const std::string& directory,
              const std::string& tables, const std::string& densities) {
  // The run's tables, signal handlers and output streams are the
  // process's: one run at a time.
  static std::mutex oneRun;
  Outcome outcome;
  {
    py::gil_scoped_release free;
    const std::lock_guard<std::mutex> only(oneRun);
    outcome = RunOnce(words, directory, tables, densities);
    std::cout.flush();
  }
  return py::make_tuple(outcome.Status, outcome.Message);
}

}  // namespace

PYBIND11_MODULE(_orvane, module) {
  module.doc() = "The simulator run in the interpreter's process (use the package orvane).";
  module.def("run", &Run, py::arg("words"), py::arg("directory"), py::arg("tables"),
             py::arg("densities"),
             "Runs a command line of the program; returns (status, failure message).");
  module.def("set_installed_densities", &orvane::SetInstalledDensityDirectory, py::arg("directory"),
             "Where the isolated-atom densities of the installation are.");
  module.attr("VERSION_LINE") = std::string(orvane::kVersionLine);
}
