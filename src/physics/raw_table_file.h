// Tables stored as raw little-endian doubles with no header: the local and
// non-local electronic stopping tables.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace orvane {

// Reads at most count doubles from the file into values.  Returns the
// number of whole doubles read (fewer for a short file), or nothing when the
// file cannot be opened.
std::optional<std::size_t> ReadRawTable(const std::string& path, double* values, std::size_t count);

// Creates the file and writes the count doubles; false when the file cannot
// be created or fully written.
bool WriteRawTable(const std::string& path, const double* values, std::size_t count);

}  // namespace orvane
