#include "target/density_path.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace orvane {

namespace fs = std::filesystem;

namespace {

std::string explicitPrefix;
std::string installedDirectory;

}  // namespace

void SetDensityDirectory(const std::string& prefix) { explicitPrefix = prefix; }

std::string DensityPath(const std::string& name) {
  if (!explicitPrefix.empty()) return explicitPrefix + name;
  const char* directory = std::getenv("EDTDIR");
  return std::string(directory != nullptr ? directory : "./Tables/") + name;
}

void SetInstalledDensityDirectory(const std::string& directory) {
  installedDirectory = directory;
}

std::string InstalledDensityDirectory() {
  if (!installedDirectory.empty()) return installedDirectory;
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) return "";
  return (program.parent_path().parent_path() / "share" / "orvane" / "Tables").string() + "/";
}

std::string IsolatedDensityPath(const std::string& name) {
  const std::string path = DensityPath(name);
  std::error_code error;
  if (fs::exists(path, error)) return path;
  const std::string installed = InstalledDensityDirectory();
  if (!installed.empty() && fs::exists(installed + name, error)) return installed + name;
  return path;
}

}  // namespace orvane
