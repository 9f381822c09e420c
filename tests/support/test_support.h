// Helpers shared by the tests: temporary directories, files, and runs of
// the real orvane binary.
#pragma once

#include <string>

namespace orvane_test {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The tables prepared once per test run (the shipped densities and the
// tables generated from them), with a final slash.  Tests copy from it and
// never write into it.
std::string PreparedTablesDir();

// A copy of the prepared tables of the directory's own ("<dir>/.tables/",
// made on first use), with a final slash, so that no run sees a table that
// another run or an earlier build left.
std::string OwnTables(const TempDir& dir);

// "TABLES3DDIR=... EDTDIR=..." naming the directory's own copy of the
// prepared tables.
std::string TablesEnvironment(const TempDir& dir);

struct RunResult {
  int status = -1;  // exit status, or -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// Runs the orvane binary in the directory with the given arguments (passed
// through the shell as written) and environment assignments, for instance
// "TABLES3DDIR=/x/ EDTDIR=/y/".
RunResult RunOrvane(const std::string& directory, const std::string& arguments,
                    const std::string& environment = "");
// The same with a launcher before the binary ("mpirun -np 2", say).
RunResult RunLaunched(const std::string& directory, const std::string& launcher,
                      const std::string& arguments, const std::string& environment = "");

// Writes the parameters to "p.in" in the directory and runs the binary on it,
// with the directory's own tables unless another environment is given.
RunResult RunFile(const TempDir& dir, const std::string& parameters);
RunResult RunFile(const TempDir& dir, const std::string& parameters,
                  const std::string& environment);

// A regular expression that matches the text literally.
std::string RegexLiteral(const std::string& text);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// Lets this process write no file beyond the given size, as on a full disk:
// a longer write fails instead of raising a signal.  For death tests, whose
// child process it limits for good.
void LimitFileSizeAsOnAFullDisk(long bytes);

// The shipped directory of isolated-atom densities, with a final slash.
std::string ShippedDensityDir();

}  // namespace orvane_test
