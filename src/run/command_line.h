// The options of the command line: "--help" and "--version", which answer
// without running, "--threads", which shares the ions among threads,
// "--strict", which refuses a parameter file with suspicious words, and
// "--quiet", which leaves out the line of every ion.
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
// The status of a command line that cannot be obeyed: "--threads" without
// a whole number from 0 to kMaxThreads, an unknown option, an option given
// twice, more arguments than the parameter file and the mode.
constexpr int kBadThreadsStatus = 607;

struct CommandLine {
  int Threads = kOneStream;  // 0: one thread per core
  bool Strict = false;       // suspicious words refuse the parameter file
  bool Quiet = false;        // no line per ion on standard output
  // The program name, the parameter file and the mode, without the
  // options, null-terminated like argv.
  std::vector<char*> Arguments;
};

// Reads the options "--threads N", "--strict" and "--quiet", before or after the
// parameter file, and passes the other arguments on in their order.  A
// "--threads" value that is missing, not a whole number, negative or above
// kMaxThreads, any other argument that begins with "--", an option given
// twice or a third argument ends the process with kBadThreadsStatus.
CommandLine ReadCommandLine(int argc, char** argv);

}  // namespace orvane
