// Appending one line to a result file that grows during the run.
#pragma once

#include <string>

namespace orvane {

// Opens the file for appending, writes the text and closes it again; a file
// that cannot be opened is reported on standard error as
// "# Error: <operation>, Can't open <path>" and the run goes on.
void AppendLine(const std::string& path, const std::string& text, const char* operation);

}  // namespace orvane
