#include "support/test_support.h"

#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace orvane_test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device device;
  for (;;) {
    fs::path candidate = fs::temp_directory_path() / ("orvane-test-" + std::to_string(device()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = candidate.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code error;
  fs::remove_all(path_, error);
}

void LimitFileSizeAsOnAFullDisk(long bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  setrlimit(RLIMIT_FSIZE, &limit);
}

RunResult RunOrvane(const std::string& directory, const std::string& arguments,
                    const std::string& environment) {
  return RunLaunched(directory, "", arguments, environment);
}

RunResult RunLaunched(const std::string& directory, const std::string& launcher,
                      const std::string& arguments, const std::string& environment) {
  RunResult result;
  const std::string out = directory + "/.stdout";
  const std::string err = directory + "/.stderr";
  const std::string command = "cd '" + directory + "' && " + environment + " " + launcher + " '" +
                              ORVANE_BINARY "' " + arguments + " > '" + out + "' 2> '" + err +
                              "' < /dev/null";
  const int raw = std::system(command.c_str());
  if (raw != -1 && WIFEXITED(raw)) result.status = WEXITSTATUS(raw);
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  fs::remove(out);
  fs::remove(err);
  return result;
}

RunResult RunFile(const TempDir& dir, const std::string& parameters) {
  return RunFile(dir, parameters, TablesEnvironment(dir));
}

RunResult RunFile(const TempDir& dir, const std::string& parameters,
                  const std::string& environment) {
  WriteFile(dir.File("p.in"), parameters);
  return RunOrvane(dir.Path(), "p.in", environment);
}

std::string RegexLiteral(const std::string& text) {
  std::string pattern;
  for (char c : text) {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) pattern += '\\';
    pattern += c;
  }
  return pattern;
}

std::string ReadFile(const std::string& path) {
  std::ifstream is(path, std::ios::binary);
  std::ostringstream text;
  text << is.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream os(path, std::ios::binary);
  os << text;
}

bool FileExists(const std::string& path) { return fs::exists(path); }

std::string PreparedTablesDir() { return ORVANE_TEST_TABLES; }

std::string OwnTables(const TempDir& dir) {
  const std::string own = dir.File(".tables");
  if (!fs::exists(own)) fs::copy(PreparedTablesDir(), own, fs::copy_options::recursive);
  return own + "/";
}

std::string TablesEnvironment(const TempDir& dir) {
  const std::string tables = OwnTables(dir);
  return "TABLES3DDIR='" + tables + "' EDTDIR='" + tables + "'";
}

std::string ShippedDensityDir() { return std::string(ORVANE_SOURCE_DIR) + "/Tables/"; }

}  // namespace orvane_test
