// A result file that grows by a line at a time while a run goes on: opened
// once for appending and kept open, its lines gathered in the stream's
// buffer until Flush or Close.  The process's ordinary end, and a fatal
// error's, write what is buffered.
#pragma once

#include <cstdio>
#include <string>

namespace orvane {

class AppendingFile {
 public:
  AppendingFile() = default;
  ~AppendingFile() { Close(); }
  AppendingFile(const AppendingFile&) = delete;
  AppendingFile& operator=(const AppendingFile&) = delete;

  // Opens the file at the path for appending (closing the one open
  // before).  A file that cannot be opened is reported on standard error as
  // "# Error: <operation>, Can't open <path>"; its lines are then lost and
  // the run goes on.
  void Open(const std::string& path, const char* operation);
  // Appends the text when the file is open.
  void Write(const char* text);
  // Writes what is buffered.
  void Flush();
  void Close();

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace orvane
