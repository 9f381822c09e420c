#include "core/appending_file.h"

#include <iostream>

namespace orvane {

void AppendingFile::Open(const std::string& path, const char* operation) {
  Close();
  file_ = std::fopen(path.c_str(), "a");
  if (file_ == nullptr)
    std::cerr << "# Error: " << operation << ", Can't open " << path << std::endl;
}

void AppendingFile::Write(const char* text) {
  if (file_ != nullptr) std::fputs(text, file_);
}

void AppendingFile::Flush() {
  if (file_ != nullptr) std::fflush(file_);
}

void AppendingFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace orvane
