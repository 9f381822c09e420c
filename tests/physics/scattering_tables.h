// Shared set-up of the scattering-table tests: a table directory named by
// TABLES3DDIR for the length of a test, the elements of the tests, and the
// tables of four pairs generated once for the whole test program.
#pragma once

#include <memory>
#include <string>

#include "core/atom.h"
#include "physics/pair_potentials.h"
#include "physics/table3d.h"
#include "support/test_support.h"

namespace scattering_test {

// Sanitizer builds run the costly accuracy checks on fewer energies.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kUnderSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kUnderSanitizer = true;
#else
inline constexpr bool kUnderSanitizer = false;
#endif
#else
inline constexpr bool kUnderSanitizer = false;
#endif

// Sets TABLES3DDIR to the prefix (verbatim) and restores the previous value.
class ScopedTableDirectory {
 public:
  explicit ScopedTableDirectory(const std::string& prefix);
  ~ScopedTableDirectory();
  ScopedTableDirectory(const ScopedTableDirectory&) = delete;
  ScopedTableDirectory& operator=(const ScopedTableDirectory&) = delete;

 private:
  bool wasSet_;
  std::string previous_;
};

// B, Si, As and P, at positions 1 to 4.
orvane::AtomList BoronSiliconArsenic();

// The tables of B-Si, Si-B, Si-Si and As-Si, generated on first use through
// the store's look-up into a temporary directory, with what the generation
// of B-Si printed.
struct SharedTables {
  orvane_test::TempDir directory;
  std::string prefix;  // the directory with a final slash
  orvane::AtomList atoms;
  orvane::PairPotentials potentials;
  orvane::TBL store;
  std::string boronSiliconOut;
  std::string boronSiliconErr;
};
SharedTables& Shared();

}  // namespace scattering_test
