// The options that answer without running: "--help" and "--version".
#pragma once

#include <iosfwd>

namespace orvane {

// The first line of the banner, which "--version" prints.
extern const char kVersionLine[];

// Usage, options, environment variables, dose effects and exit statuses.
void WriteHelp(std::ostream& out);

// Answers "--help" or "--version" when it is the first argument: writes the
// text to out and returns true; otherwise writes nothing and returns false.
bool AnswerOption(int argc, char** argv, std::ostream& out);

}  // namespace orvane
