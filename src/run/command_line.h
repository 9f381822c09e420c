// The options of the command line: "--help" and "--version", which answer
// without running, and "--threads", which shares the ions among threads.
#pragma once

#include <iosfwd>
#include <vector>

namespace orvane {

// The first line of the banner, which "--version" prints.
extern const char kVersionLine[];

// Usage, options, environment variables, dose effects and exit statuses.
void WriteHelp(std::ostream& out);

// Answers "--help" or "--version" when it is the first argument: writes the
// text to out and returns true; otherwise writes nothing and returns false.
bool AnswerOption(int argc, char** argv, std::ostream& out);

// The value of Threads without "--threads": the single random stream.
constexpr int kOneStream = -1;
// The most threads that "--threads" accepts.
constexpr int kMaxThreads = 1024;
// The status of a "--threads" without a whole number from 0 to kMaxThreads.
constexpr int kBadThreadsStatus = 607;

struct CommandLine {
  int Threads = kOneStream;  // 0: one thread per core
  // The program name and the arguments after the option, null-terminated
  // like argv.
  std::vector<char*> Arguments;
};

// Reads a leading "--threads N"; the other arguments are passed on as they
// are.  A value that is missing, not a whole number, negative or above
// kMaxThreads ends the process with kBadThreadsStatus.
CommandLine ReadCommandLine(int argc, char** argv);

}  // namespace orvane
