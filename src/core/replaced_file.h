// An output text file written under a temporary name and put in place
// whole when it is closed, so that a reader that works alongside the run
// (the plotting program) never finds it empty or half written.
#pragma once

#include <fstream>
#include <string>

namespace orvane {

class ReplacedFile {
 public:
  // Opens "<path>.new" for writing; check Stream() for success.
  explicit ReplacedFile(const std::string& path);
  // Closes the temporary file and renames it to the path; a file whose
  // writing failed is removed and reported on standard error.
  ~ReplacedFile();
  ReplacedFile(const ReplacedFile&) = delete;
  ReplacedFile& operator=(const ReplacedFile&) = delete;

  std::ofstream& Stream() { return stream_; }

 private:
  std::string path_;
  std::string temporary_;
  std::ofstream stream_;
};

}  // namespace orvane
