#include "target/density_path.h"

#include <cstdlib>

namespace orvane {

std::string DensityPath(const std::string& name) {
  const char* directory = std::getenv("EDTDIR");
  return std::string(directory != nullptr ? directory : "./Tables/") + name;
}

}  // namespace orvane
