#include "run/output_directory.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <regex>
#include <system_error>

#include "core/fatal.h"

namespace orvane {

namespace fs = std::filesystem;

const char kLockFileName[] = ".orvane.lock";

OutputDirectoryLock::~OutputDirectoryLock() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

void OutputDirectoryLock::Acquire(const std::string& directory) {
  if (descriptor_ >= 0) ::close(descriptor_);
  const std::string path = directory + "/" + kLockFileName;
  descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (descriptor_ < 0) {
    std::cerr << "# Warning: can't open " << path << " (" << std::strerror(errno)
              << "): another run could write into " << directory << " at the same time\n";
    return;
  }
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  if (::fcntl(descriptor_, F_SETLK, &whole) == 0) return;
  if (errno != EACCES && errno != EAGAIN) {
    std::cerr << "# Warning: can't lock " << path << " (" << std::strerror(errno)
              << "): another run could write into " << directory << " at the same time\n";
    return;
  }
  struct flock holder {};
  holder.l_type = F_WRLCK;
  holder.l_whence = SEEK_SET;
  const bool known = ::fcntl(descriptor_, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK;
  Fatal(kDirectoryInUseStatus,
        "# Error: another run" +
            (known ? " (process " + std::to_string(holder.l_pid) + ")" : std::string()) +
            " is writing into " + directory +
            ": one run at a time per output directory; wait for it to end, or run a copy of "
            "the parameter file under another name\n");
}

bool IsResultFileName(const std::string& name) {
  static const std::regex kResult(
      R"((MaxAmorf_vs_Dose|Amorph1D|DDBC_1D)\.dat|Amorph1D\.png|PearsonIV_\d\d\.dat)"
      R"(|Ion\.\d\d\.(coordinates\.dat|histo3D\.(bin|dat))|RE_Depths\.\d\d)"
      R"(|summary\.json|.*_\d\d(\.png)?|.*\.ps|.*\.\d+\.new)");
  return std::regex_match(name, kResult);
}

std::vector<std::string> RemoveEarlierResults(const std::string& directory,
                                              const std::string& keep, std::ostream& err) {
  std::vector<std::string> removed;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(directory, error)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file(error) || !IsResultFileName(name)) continue;
    if (name == "MaxAmorf_vs_Dose.dat") continue;
    if (!keep.empty() && fs::equivalent(entry.path(), keep, error)) continue;
    if (fs::remove(entry.path(), error)) removed.push_back(name);
  }
  if (removed.empty()) return removed;
  std::sort(removed.begin(), removed.end());
  err << "# Removed " << removed.size() << " result file" << (removed.size() == 1 ? "" : "s")
      << " of an earlier run from " << directory << ":";
  for (const std::string& name : removed) err << ' ' << name;
  err << std::endl;
  return removed;
}

}  // namespace orvane
