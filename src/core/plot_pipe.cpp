#include "core/plot_pipe.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace orvane {

namespace {

bool skippedReported = false;

void ReportPlotsSkipped(const std::string& why) {
  if (skippedReported) return;
  skippedReported = true;
  std::cerr << "# Warning: " << why << ": plots are skipped" << std::endl;
}

bool Executable(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return false;
  using std::filesystem::perms;
  return (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) !=
         perms::none;
}

}  // namespace

std::string ShellQuote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string GnuplotQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

bool PlotterInstalled() {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string directories = path;
  std::size_t start = 0;
  while (start <= directories.size()) {
    std::size_t end = directories.find(':', start);
    if (end == std::string::npos) end = directories.size();
    const std::string directory = directories.substr(start, end - start);
    if (Executable(std::filesystem::path(directory.empty() ? "." : directory) / "gnuplot")) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

std::FILE* StartPlotter(const std::vector<std::string>& arguments, const std::string& commands) {
  if (!PlotterInstalled()) {
    ReportPlotsSkipped("the plotting program gnuplot is not installed");
    return nullptr;
  }
  // A plotting program that dies must not end the run through the pipe.
  std::signal(SIGPIPE, SIG_IGN);
  std::string command = "gnuplot";
  for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
  std::FILE* pipe = popen(command.c_str(), "w");
  if (pipe == nullptr) {
    ReportPlotsSkipped("gnuplot cannot be started");
    return nullptr;
  }
  SendPlot(pipe, commands);
  return pipe;
}

void SendPlot(std::FILE*& pipe, const std::string& commands) {
  if (pipe == nullptr) return;
  if (std::fputs(commands.c_str(), pipe) < 0 || std::fflush(pipe) != 0) {
    pclose(pipe);
    pipe = nullptr;
    ReportPlotsSkipped("gnuplot has stopped");
  }
}

void StopPlotter(std::FILE*& pipe) {
  if (pipe == nullptr) return;
  pclose(pipe);
  pipe = nullptr;
}

std::string PictureTerminal(const std::string& path) {
  return "set terminal pngcairo size 800,600 enhanced font 'sans,10'\n"
         "set output " +
         GnuplotQuote(path) + "\n";
}

void DrawPictures(const std::string& commands) {
  std::FILE* pipe = StartPlotter({}, commands);
  StopPlotter(pipe);
}

}  // namespace orvane
