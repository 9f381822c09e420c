#include "physics/table_directory.h"

#include <cstdlib>

namespace orvane {

namespace {

std::string DirectoryOr(const char* fallback) {
  const char* value = std::getenv("TABLES3DDIR");
  return value != nullptr ? std::string(value) : std::string(fallback);
}

}  // namespace

std::string TableDirectory() { return DirectoryOr("./Tables/"); }

std::string ScreeningDirectory() { return DirectoryOr("./"); }

}  // namespace orvane
