#include "physics/raw_table_file.h"

#include <cstdio>
#include <iostream>

#include "core/replaced_file.h"

namespace orvane {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the table files hold the doubles in the host's little-endian order");

bool ReadRawTable(const std::string& path, double* values, std::size_t count) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  const std::size_t read = std::fread(values, sizeof(double), count, file);
  std::fclose(file);
  if (read == count) return true;
  std::cerr << "# Warning: " << path << " holds " << read << " of " << count
            << " values; it is computed again" << std::endl;
  return false;
}

bool WriteRawTable(const std::string& path, const double* values, std::size_t count) {
  ReplacedFile file(path, std::ios::out | std::ios::binary);
  file.Stream().write(reinterpret_cast<const char*>(values),
                      static_cast<std::streamsize>(count * sizeof(double)));
  return file.Commit();
}

}  // namespace orvane
