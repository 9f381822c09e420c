// The choice of the electronic stopping and ionization models by the names
// that the parameter file gives.
#pragma once

#include <cstring>
#include <string>

#include "core/fatal.h"
#include "core/text_value.h"

namespace orvane {

// Strips the blank that the reader leaves at the end of the name and
// returns the index of the entry whose key matches it exactly.  A name that
// matches no key before the help entry "?" (or no key at all) lists the
// entries from there down to the first, after the heading, on standard
// error and ends the run with the status.  Entries have a key and a
// description.
template <class Entry>
int SelectModel(char* name, const Entry* entries, int count, const char* heading, int status) {
  StripFinalBlank(name);
  int listFrom = count - 1;
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(name, entries[i].key) == 0) return i;
    if (std::strcmp(entries[i].key, "?") == 0) {
      listFrom = i;
      break;
    }
  }
  std::string listing = heading;
  for (int i = listFrom; i >= 0; --i) {
    listing += std::string("# ") + entries[i].key + "\n#  " + entries[i].description + "\n";
  }
  Fatal(status, listing);
}

}  // namespace orvane
