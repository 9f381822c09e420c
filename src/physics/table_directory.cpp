#include "physics/table_directory.h"

#include <cstdlib>

namespace orvane {

namespace {

std::string explicitPrefix;

std::string DirectoryOr(const char* fallback) {
  if (!explicitPrefix.empty()) return explicitPrefix;
  const char* value = std::getenv("TABLES3DDIR");
  return value != nullptr ? std::string(value) : std::string(fallback);
}

}  // namespace

void SetTableDirectory(const std::string& prefix) { explicitPrefix = prefix; }

std::string TableDirectory() { return DirectoryOr("./Tables/"); }

std::string ScreeningDirectory() { return DirectoryOr("./"); }

}  // namespace orvane
