// A file written under a temporary name of its own and put in place whole,
// so that no reader -- the plotting program that works alongside the run,
// or another run that shares the table directory -- ever finds it empty or
// half written.
#pragma once

#include <fstream>
#include <string>

namespace orvane {

class ReplacedFile {
 public:
  // Opens a temporary file next to the path, named after it and after this
  // process, for writing with the mode (text or binary); check Stream().
  explicit ReplacedFile(const std::string& path, std::ios::openmode mode = std::ios::out);
  // A file that was not committed is removed: its writing was abandoned.
  ~ReplacedFile();
  ReplacedFile(const ReplacedFile&) = delete;
  ReplacedFile& operator=(const ReplacedFile&) = delete;

  std::ofstream& Stream() { return stream_; }
  const std::string& Path() const { return path_; }

  // Closes the temporary file and renames it to the path, replacing any
  // file of that name at once.  False, with the temporary file removed and
  // the old file left as it was, when a write, the close or the rename
  // failed.
  bool Commit();

  // For results that the run can go on without: whether the temporary file
  // is open, and Commit, each saying "# Error: <operation>, Can't create
  // (write) <path>" on standard error when it fails.
  bool OpenOrWarn(const char* operation);
  void CommitOrWarn(const char* operation);

 private:
  void Discard();

  std::string path_;
  std::string temporary_;
  std::ofstream stream_;
  bool committed_ = false;
};

}  // namespace orvane
