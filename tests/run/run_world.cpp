#include "run_world.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "run/configure.h"
#include "run/implant_loop.h"
#include "run/reports.h"
#include "run/set_up.h"

namespace run_test {

using namespace orvane;

RunWorld::RunWorld(const std::string& parameters)
    : previousDirectory_(std::filesystem::current_path().string()),
      state_(std::make_unique<RunState>()) {
  orvane_test::WriteFile(dir_.File("p.in"), parameters);
  const std::string tables = orvane_test::OwnTables(dir_);
  setenv("TABLES3DDIR", tables.c_str(), 1);
  setenv("EDTDIR", tables.c_str(), 1);
  std::filesystem::current_path(dir_.Path());
  char program[] = "orvane";
  char file[] = "p.in";
  char* argv[] = {program, file, nullptr};
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  Defaults(*state_);
  Configure(*state_, 2, argv);
  SetUp(*state_, 2, argv, 1, 0);
  SimulationHeader(*state_, state_->Simulations.Front(), 1);
  testing::internal::GetCapturedStderr();
  testing::internal::GetCapturedStdout();
}

RunWorld::~RunWorld() {
  state_.reset();
  std::filesystem::current_path(previousDirectory_);
}

Particle& RunWorld::PlaceProjectile(double depth, double energy) {
  RunState& s = *state_;
  Particle ion;
  ion.Species = ion.SpeciesA = static_cast<uint8_t>(s.Current.ImplantedElement);
  ion.Abs = ion.R = depth * s.Frame.X;
  ion.SetDirection(s.Frame.X);
  ion.Energy = energy;
  ion.Ghi = s.Config.GhiLimit;
  ion.Status = PROJECTILE;
  ion.Weight = s.IonWeight;
  s.Moving.Clear();
  s.Moving.Add(ion);
  s.Work = ion;
  return s.Work;
}

void RunWorld::Implant(int ions, const std::function<void(List<Particle>&)>& each) {
  for (int i = 0; i < ions; ++i) {
    ImplantOne(*state_);
    each(state_->Finished);
  }
}

}  // namespace run_test
