// Where the interaction tables live: the value of TABLES3DDIR, used as a
// verbatim prefix of the file name (no separator is inserted).
#pragma once

#include <string>

namespace orvane {

// A prefix that a program embedding the simulator gives explicitly: it
// stands for TABLES3DDIR, set or not, until it is set empty again.
void SetTableDirectory(const std::string& prefix);

// TABLES3DDIR, or "./Tables/" when it is not set: scattering tables.
std::string TableDirectory();
// TABLES3DDIR, or "./" when it is not set: specific screening functions.
std::string ScreeningDirectory();

}  // namespace orvane
