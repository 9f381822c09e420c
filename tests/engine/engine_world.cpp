#include "engine_world.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "physics/indexes.h"
#include "support/test_support.h"

namespace engine_test {

namespace {

namespace fs = std::filesystem;

// Points TABLES3DDIR and EDTDIR at a fresh directory before any table is
// used, so that each table is built once for the whole test program.  The
// directory goes at the end of the run only: a death test's child that
// exits must not take it along.
class TableDirectoryEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/orvane-engine-test-XXXXXX";
    path_ = std::string(mkdtemp(pattern)) + "/";
    for (const char* density : {"N05.den", "N14.den", "N33.den"}) {
      fs::copy_file(orvane_test::ShippedDensityDir() + density, path_ + density);
    }
    setenv("TABLES3DDIR", path_.c_str(), 1);
    setenv("EDTDIR", path_.c_str(), 1);
  }
  void TearDown() override { fs::remove_all(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TableDirectoryEnvironment* const environment = static_cast<TableDirectoryEnvironment*>(
    testing::AddGlobalTestEnvironment(new TableDirectoryEnvironment));

int syntheticTables = 0;

}  // namespace

const std::string& TableDirectory() { return environment->Path(); }

double GridEnergy(int index) { return EnergyIndexToValue(index).lower; }

void LoadSyntheticTable(TBL& tables, int projectile, int target, const SyntheticCollision& c) {
  std::vector<double> values;
  values.reserve(TBL::kTableValues);
  for (int e = 0; e < N_ENERGY; ++e) {
    const double energy = GridEnergy(e);
    for (int s = 0; s < N_S; ++s) {
      for (double v : {c.projectileIntersection, c.recoilIntersection, c.recoilCosine,
                       c.projectileShare * energy, c.recoilShare * energy, 0.0, 0.0}) {
        values.push_back(v);
      }
    }
  }
  const std::string name = "Synthetic" + std::to_string(++syntheticTables);
  std::FILE* file = std::fopen((TableDirectory() + name + ".lit").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const std::vector<char> header(TBL::kHeaderBytes, '%');
  std::fwrite(header.data(), 1, header.size(), file);
  std::fwrite(values.data(), sizeof(double), values.size(), file);
  std::fclose(file);
  testing::internal::CaptureStdout();
  const int loaded = tables.LoadBinary(projectile - 1, target - 1, name + ".dat");
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(loaded, 1);
}

EngineWorld::EngineWorld()
    : Engine(TargetLinks{Atoms, Frame, Potentials, LocalStopping, NonLocalStopping, NearbySites,
                         Damage}) {
  Atoms.Add(Atom("Si", 28.086, 14, 519.0));
  Atoms.Add(Atom("B", 10.811, 5, 1250.0));
  Atoms.Add(Atom("As", 74.9216, 33, 285.0));
  Engine.Configure(NullVector, 2.7155, 0.1, 10.0, 0.25, 300.0);
  for (const Vector& position : {Vector(0, 0, 0), Vector(0.25, 0.25, 0.25)}) {
    BasisAtom atom;
    atom.Position = position;
    atom.SpeciesA = atom.SpeciesB = kSilicon;
    atom.Type = 6;
    atom.EnergyA = atom.EnergyB = 15.0;
    Silicon.Basis.Add(atom);
  }
  ElectronGas.Initialise(5.431, 5.431, 5.431, 4, 4, 4);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      for (int k = 0; k < 4; ++k) ElectronGas.Set(i, j, k, 0.05);
    }
  }
  Damage.OutputDirectory = TableDirectory();
}

Particle EngineWorld::Ion(int species, double energy, const Vector& abs, const Vector& dir) const {
  Particle ion;
  ion.Species = ion.SpeciesA = ion.SpeciesB = static_cast<uint8_t>(species);
  ion.Energy = energy;
  ion.Abs = ion.R = ion.Org = abs;
  ion.SetDirection(dir);
  ion.Ghi = Engine.GhiLimit;
  ion.Status = PROJECTILE;
  return ion;
}

Particle EngineWorld::Candidate(int species, const Vector& r, int basisIndex) const {
  Particle atom(Site(static_cast<uint8_t>(species), static_cast<uint8_t>(basisIndex), r,
                     static_cast<uint8_t>(species), 1.0));
  atom.Org = r;
  return atom;
}

}  // namespace engine_test
