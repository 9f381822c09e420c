#include "run/follower_process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/fatal.h"
#include "run/cluster.h"

namespace orvane {

namespace {

void SilenceStandardOutput() {
  std::fflush(stdout);
  if (std::freopen("/dev/null", "w", stdout) == nullptr) {
    Fatal(cluster::kClusterStatus,
          "# Error: cluster, a follower process can't silence its output\n");
  }
}

// A fresh directory in the system's temporary directory.
std::string MakeResultDirectory() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  std::string pattern = (error ? std::string("/tmp") : base.string()) + "/orvane-follower.XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) {
    Fatal(cluster::kClusterStatus,
          "# Error: cluster, a follower process can't make its directory " + pattern + "\n");
  }
  return name.data();
}

}  // namespace

FollowerRole::FollowerRole() {
  if (cluster::IsFirst()) return;
  SilenceStandardOutput();
  results_ = MakeResultDirectory();
}

FollowerRole::~FollowerRole() {
  if (results_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(results_, ignored);
}

void FollowerRole::ShowNoPlots(Configuration& config) const {
  if (results_.empty()) return;
  config.SavePNG = 0;
  config.ShowHisto1D = 0;
  config.REShow = 0;
  config.ShowDamage = 0;
}

}  // namespace orvane
