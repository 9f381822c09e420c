#include "core/replaced_file.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace orvane {

namespace {

// Two processes writing the same table at once each write their own file.
std::string TemporaryName(const std::string& path) {
  return path + "." + std::to_string(static_cast<long>(getpid())) + ".new";
}

}  // namespace

ReplacedFile::ReplacedFile(const std::string& path, std::ios::openmode mode)
    : path_(path), temporary_(TemporaryName(path)), stream_(temporary_, mode | std::ios::trunc) {}

ReplacedFile::~ReplacedFile() {
  if (!committed_) Discard();
}

void ReplacedFile::Discard() {
  if (!stream_.is_open()) return;
  stream_.close();
  std::remove(temporary_.c_str());
}

bool ReplacedFile::Commit() {
  if (!stream_.is_open()) return false;
  stream_.close();
  committed_ = !stream_.fail() && std::rename(temporary_.c_str(), path_.c_str()) == 0;
  if (!committed_) std::remove(temporary_.c_str());
  return committed_;
}

bool ReplacedFile::OpenOrWarn(const char* operation) {
  if (stream_) return true;
  std::cerr << "# Error: " << operation << ", Can't create " << path_ << "\n";
  return false;
}

void ReplacedFile::CommitOrWarn(const char* operation) {
  if (!Commit()) std::cerr << "# Error: " << operation << ", Can't write " << path_ << "\n";
}

}  // namespace orvane
