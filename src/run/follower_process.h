// The processes of a cluster job other than the first.  Each sets up the
// run, follows the chunks of each batch that it takes and receives from
// the first what couples the ions (the damage and the split depths); what
// it writes goes nowhere the user sees: standard output to the null
// device, its result files to a directory of its own that it removes at
// the end, and no plots.
#pragma once

#include <string>

#include "run/configuration.h"

namespace orvane {

// On a follower: standard output sent to the null device and a fresh
// directory for the results (status 608 when it cannot be made), removed
// with this object.  On the first process: nothing, and no directory.
class FollowerRole {
 public:
  FollowerRole();
  ~FollowerRole();
  FollowerRole(const FollowerRole&) = delete;
  FollowerRole& operator=(const FollowerRole&) = delete;

  // The follower's result directory, empty on the first process.
  const std::string& ResultDirectory() const { return results_; }
  // The plot windows and pictures that the parameter file asks for, off
  // on a follower.
  void ShowNoPlots(Configuration& config) const;

 private:
  std::string results_;
};

}  // namespace orvane
