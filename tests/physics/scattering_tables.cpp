#include "physics/scattering_tables.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace scattering_test {

ScopedTableDirectory::ScopedTableDirectory(const std::string& prefix) {
  const char* old = std::getenv("TABLES3DDIR");
  wasSet_ = old != nullptr;
  if (wasSet_) previous_ = old;
  setenv("TABLES3DDIR", prefix.c_str(), 1);
}

ScopedTableDirectory::~ScopedTableDirectory() {
  if (wasSet_) {
    setenv("TABLES3DDIR", previous_.c_str(), 1);
  } else {
    unsetenv("TABLES3DDIR");
  }
}

orvane::AtomList BoronSiliconArsenic() {
  orvane::AtomList atoms;
  atoms.Add(orvane::Atom("B", 10.811, 5, 1480.0));
  atoms.Add(orvane::Atom("Si", 28.086, 14, 519.0));
  atoms.Add(orvane::Atom("As", 74.9216, 33, 282.0));
  atoms.Add(orvane::Atom("P", 30.973762, 15, 1480.0));
  return atoms;
}

namespace {

std::unique_ptr<SharedTables> Generate() {
  auto shared = std::make_unique<SharedTables>();
  shared->prefix = shared->directory.Path() + "/";
  shared->atoms = BoronSiliconArsenic();
  ScopedTableDirectory tables(shared->prefix);
  orvane::CollisionOutcome outcome;
  const int pairs[4][2] = {{1, 2}, {2, 1}, {2, 2}, {3, 2}};
  for (const auto& pair : pairs) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    shared->store.Lookup(pair[0], pair[1], 1000.0, 1.0, shared->atoms, shared->potentials, outcome);
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string progress = testing::internal::GetCapturedStderr();
    if (pair[0] == 1) {
      shared->boronSiliconOut = printed;
      shared->boronSiliconErr = progress;
    }
  }
  return shared;
}

}  // namespace

SharedTables& Shared() {
  static const std::unique_ptr<SharedTables> shared = Generate();
  return *shared;
}

}  // namespace scattering_test
