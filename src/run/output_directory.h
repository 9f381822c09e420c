// The output directory belongs to one run at a time, and a run starts it
// afresh: the result files that an earlier run left there go before the
// first ion, so that none is taken for one of this run.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orvane {

// The status of a run refused because another run writes into its output
// directory.
constexpr int kDirectoryInUseStatus = 610;

// The lock file in the output directory, which is never removed: a run
// that removed it could let two later runs each lock a file of their own.
extern const char kLockFileName[];

// An advisory lock on the lock file of a directory, held while the object
// lives; the system drops it when the process ends, however it ends.
class OutputDirectoryLock {
 public:
  OutputDirectoryLock() = default;
  ~OutputDirectoryLock();
  OutputDirectoryLock(const OutputDirectoryLock&) = delete;
  OutputDirectoryLock& operator=(const OutputDirectoryLock&) = delete;

  // Locks the directory.  When another process holds its lock, the run
  // ends with kDirectoryInUseStatus and names that process; when the file
  // system cannot lock, the run says so on standard error and goes on.
  void Acquire(const std::string& directory);

 private:
  int descriptor_ = -1;
};

// Whether a file name is one of those that a run writes in its output
// directory (profiles, pictures, moments, damage, temporary files), with
// any histogram prefix.
bool IsResultFileName(const std::string& name);

// Removes the result files in the directory but "MaxAmorf_vs_Dose.dat",
// which the run starts afresh, and the file to keep (the damage profile
// that the run starts from); "Parameters.out", which the run has just
// written, and files of other names stay too.  Writes one line naming the
// files removed to err when there were any, and returns their names.
std::vector<std::string> RemoveEarlierResults(const std::string& directory,
                                              const std::string& keep, std::ostream& err);

}  // namespace orvane
