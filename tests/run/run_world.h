// A run state set up from a parameter text as the program sets it up, in a
// directory of its own (the working directory while it lives) with its own
// copy of the prepared tables, and with the first simulation in hand.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "run/run_state.h"
#include "support/test_support.h"

namespace run_test {

class RunWorld {
 public:
  explicit RunWorld(const std::string& parameters);
  ~RunWorld();
  RunWorld(const RunWorld&) = delete;
  RunWorld& operator=(const RunWorld&) = delete;

  orvane::RunState& State() { return *state_; }

  // A projectile of the implanted element at the depth (along the implant
  // frame's first axis), moving along it, placed as the only moving particle
  // and copied into the work particle.
  orvane::Particle& PlaceProjectile(double depth, double energy);

  // The particles that ion after ion came to rest or left, until the count.
  void Implant(int ions, const std::function<void(orvane::List<orvane::Particle>&)>& each);

 private:
  orvane_test::TempDir dir_;
  std::string previousDirectory_;
  std::unique_ptr<orvane::RunState> state_;
};

}  // namespace run_test
