#include "core/append_line.h"

#include <cstdio>
#include <iostream>

namespace orvane {

void AppendLine(const std::string& path, const std::string& text, const char* operation) {
  if (std::FILE* f = std::fopen(path.c_str(), "a")) {
    std::fputs(text.c_str(), f);
    std::fclose(f);
  } else {
    std::cerr << "# Error: " << operation << ", Can't open " << path << std::endl;
  }
}

}  // namespace orvane
