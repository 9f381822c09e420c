// Where the electron density tables live: the value of EDTDIR followed
// directly by the file name, or "./Tables/" when the variable is not set.
#pragma once

#include <string>

namespace orvane {

std::string DensityPath(const std::string& name);

}  // namespace orvane
