// The choice of the electronic stopping and ionization models by the names
// that the parameter file gives.
#pragma once

namespace orvane {

struct ModelEntry {
  const char* Key;
  const char* Description;
};

// Strips the blank that the reader leaves at the end of the name and
// returns the index of the entry whose key matches it exactly.  A name that
// matches no key before the help entry "?" (or no key at all) lists the
// entries from there down to the first, after the heading, on standard
// error and ends the run with the status.
int SelectModel(char* name, const ModelEntry* entries, int count, const char* heading, int status);

}  // namespace orvane
