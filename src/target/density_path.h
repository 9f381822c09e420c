// Where the electron density tables live: the value of EDTDIR followed
// directly by the file name, or "./Tables/" when the variable is not set.
#pragma once

#include <string>

namespace orvane {

std::string DensityPath(const std::string& name);

// A prefix that a program embedding the simulator gives explicitly: it
// stands for EDTDIR, set or not, until it is set empty again.
void SetDensityDirectory(const std::string& prefix);

// The directory of the isolated-atom densities that an installed program
// ships: "<prefix>/share/orvane/Tables/" for a program in "<prefix>/bin";
// empty when the program's own path is unknown.
std::string InstalledDensityDirectory();

// The installed directory for a program whose own path does not lead to
// it (the Python module, whose process is the interpreter's).
void SetInstalledDensityDirectory(const std::string& directory);

// The path of an isolated-atom density: under the prefix when it is there,
// else the installed copy when there is one, else (for the error that
// follows) the path under the prefix.
std::string IsolatedDensityPath(const std::string& name);

}  // namespace orvane
