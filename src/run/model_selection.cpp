#include "run/model_selection.h"

#include <cstring>
#include <string>

#include "core/fatal.h"

namespace orvane {

namespace {

[[noreturn]] void ListModels(const ModelEntry* entries, int from, const char* heading, int status) {
  std::string listing = heading;
  for (int i = from; i >= 0; --i) {
    listing += std::string("# ") + entries[i].Key + "\n#  " + entries[i].Description + "\n";
  }
  Fatal(status, listing);
}

}  // namespace

int SelectModel(char* name, const ModelEntry* entries, int count, const char* heading, int status) {
  const std::size_t length = std::strlen(name);
  if (length > 0) name[length - 1] = '\0';
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(name, entries[i].Key) == 0) return i;
    if (std::strcmp(entries[i].Key, "?") == 0) ListModels(entries, i, heading, status);
  }
  ListModels(entries, count - 1, heading, status);
}

}  // namespace orvane
