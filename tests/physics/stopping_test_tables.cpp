#include "stopping_test_tables.h"

#include <stdlib.h>

#include <filesystem>

namespace stopping_test {

namespace {

// Removes the directory in the test program itself only: a death test's
// child that ends with exit() destroys the environment but does not tear it
// down.
class SharedTableEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    if (!directory.empty()) std::filesystem::remove_all(directory);
  }
  std::string directory;  // with a final slash
};

SharedTableEnvironment* const environment = static_cast<SharedTableEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new SharedTableEnvironment));

}  // namespace

const std::string& SharedTableDir() {
  if (environment->directory.empty()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "orvane-stopping-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) environment->directory = pattern + "/";
  }
  return environment->directory;
}

}  // namespace stopping_test
