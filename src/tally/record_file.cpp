#include "tally/record_file.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "core/fatal.h"

namespace orvane {
namespace record_file {

namespace {

[[noreturn]] void Failed(const std::string& what) {
  Fatal(301, "# Error: the tally can't " + what + " its records in the temporary directory\n");
}

}  // namespace

FileHandle OpenUnnamed() {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  std::string pattern = (error ? std::string("/tmp") : base.string()) + "/orvane-tally.XXXXXX";
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) Failed("keep");
  unlink(pattern.c_str());  // the file lives on, unnamed, while it is open
  std::FILE* file = fdopen(descriptor, "w+b");
  if (file == nullptr) {
    close(descriptor);
    Failed("keep");
  }
  return FileHandle(file);
}

void Append(std::FILE* file, const void* data, std::size_t bytes) {
  if (std::fseek(file, 0, SEEK_END) != 0 || std::fwrite(data, 1, bytes, file) != bytes) {
    Failed("write");
  }
}

void ReadAt(std::FILE* file, uint64_t offset, void* data, std::size_t bytes) {
  if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0 ||
      std::fread(data, 1, bytes, file) != bytes) {
    Failed("read");
  }
}

}  // namespace record_file
}  // namespace orvane
