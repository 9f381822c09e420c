// Runs command texts through the plotting program, when it is installed,
// on its text terminal, so that no display is needed.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace orvane_test {

inline bool GnuplotInstalled() { return std::system("command -v gnuplot >/dev/null") == 0; }

// What gnuplot writes on its error output for the commands, run in the
// directory.
inline std::string GnuplotComplaints(const std::string& directory, const std::string& commands) {
  const std::string errors = directory + "/gnuplot.errors";
  const std::string command =
      "cd '" + directory + "' && GNUTERM=dumb gnuplot >/dev/null 2>'" + errors + "'";
  std::FILE* pipe = popen(command.c_str(), "w");
  if (pipe == nullptr) return "cannot start gnuplot";
  std::fputs(commands.c_str(), pipe);
  pclose(pipe);
  return ReadFile(errors);
}

}  // namespace orvane_test
