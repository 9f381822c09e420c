#include "core/replaced_file.h"

#include <cstdio>
#include <iostream>

namespace orvane {

ReplacedFile::ReplacedFile(const std::string& path)
    : path_(path), temporary_(path + ".new"), stream_(temporary_, std::ios::trunc) {}

ReplacedFile::~ReplacedFile() {
  if (!stream_.is_open()) return;
  stream_.close();
  if (stream_.fail() || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    std::remove(temporary_.c_str());
    std::cerr << "# Error: Can't write " << path_ << std::endl;
  }
}

}  // namespace orvane
