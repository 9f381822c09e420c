// Tables stored as raw little-endian doubles with no header: the local and
// non-local electronic stopping tables.
#pragma once

#include <cstddef>
#include <string>

namespace orvane {

// Reads the count doubles of the file into values.  False when the file
// cannot be opened or holds fewer doubles; a short file is said so on
// standard error, and the caller computes the table again.
bool ReadRawTable(const std::string& path, double* values, std::size_t count);

// Writes the count doubles under a temporary name and puts the file in
// place whole; false when it cannot be created or fully written.
bool WriteRawTable(const std::string& path, const double* values, std::size_t count);

}  // namespace orvane
