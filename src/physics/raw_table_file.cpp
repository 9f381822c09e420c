#include "physics/raw_table_file.h"

#include <cstdio>

namespace orvane {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the table files hold the doubles in the host's little-endian order");

std::optional<std::size_t> ReadRawTable(const std::string& path, double* values,
                                        std::size_t count) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  const std::size_t read = std::fread(values, sizeof(double), count, file);
  std::fclose(file);
  return read;
}

bool WriteRawTable(const std::string& path, const double* values, std::size_t count) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(values, sizeof(double), count, file) == count;
  return std::fclose(file) == 0 && written;
}

}  // namespace orvane
