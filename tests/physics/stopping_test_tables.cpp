#include "stopping_test_tables.h"

namespace stopping_test {

namespace {

// Removes the directory in the test program itself only: a death test's
// child that ends with exit() destroys the environment but does not tear it
// down, and the destructor leaves the directory alone.
class SharedTableEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    delete directory;
    directory = nullptr;
  }
  orvane_test::TempDir* directory = nullptr;
};

SharedTableEnvironment* const environment = static_cast<SharedTableEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new SharedTableEnvironment));

}  // namespace

const std::string& SharedTableDir() {
  static std::string prefix;
  if (environment->directory == nullptr) {
    environment->directory = new orvane_test::TempDir;
    prefix = environment->directory->Path() + "/";
  }
  return prefix;
}

}  // namespace stopping_test
