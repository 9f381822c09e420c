#include "physics/table3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "physics/scattering_tables.h"
#include "physics/table_masses.h"
#include "support/test_support.h"

namespace orvane {
namespace {

using orvane_test::FileExists;
using orvane_test::ReadFile;
using orvane_test::TempDir;
using orvane_test::WriteFile;
using scattering_test::ScopedTableDirectory;

// A table value as a function of energy, impact parameter and value index.
using TableFunction = std::function<double(double energy, double impact, int v)>;

std::vector<double> Values(const TableFunction& f) {
  std::vector<double> values;
  for (int e = 0; e < N_ENERGY; ++e) {
    for (int i = 0; i < N_S; ++i) {
      for (int v = 0; v < TBL::kValues; ++v) {
        values.push_back(f(EnergyIndexToValue(e).lower, ImpactIndexToValue(i).lower, v));
      }
    }
  }
  return values;
}

// The header that the table computer writes.
// The header the computer writes, with the masses after the grid sizes
// (none for a table made before headers carried them).
std::string ComputerHeader(const std::string& masses = "") {
  std::string header = "nE=72,nS=30,nV=7";
  header += '\0';
  header.resize(32, '%');
  if (!masses.empty()) header += masses + '\0';
  header.resize(199, '%');
  return header + '\n';
}

void WriteText(const std::string& path, const std::vector<double>& values) {
  std::ostringstream text;
  text.precision(17);
  text << ComputerHeader();
  for (std::size_t n = 0; n < values.size(); ++n) text << values[n] << (n % 7 == 6 ? "\n" : " ");
  WriteFile(path, text.str());
}

std::vector<double> Loaded(const TBL& store, int a, int b) {
  const double* table = store.Table(a, b);
  return table == nullptr ? std::vector<double>()
                          : std::vector<double>(table, table + TBL::kTableValues);
}

class TableStore : public testing::Test {
 protected:
  TableStore() {
    siliconBoron.Add(Atom("Si", 28.086, 14, 519.0));
    siliconBoron.Add(Atom("B", 10.811, 5, 1480.0));
  }

  // Loads all tables of the element list, returning what was printed.
  std::string LoadAll(TBL& store, const AtomList& atoms) {
    testing::internal::CaptureStdout();
    store.LoadAll(atoms, potentials);
    return testing::internal::GetCapturedStdout();
  }

  TempDir dir;
  std::string prefix = dir.Path() + "/";
  ScopedTableDirectory tables{prefix};
  AtomList siliconBoron;
  PairPotentials potentials;
  TBL store;
  std::vector<double> distinct = Values([](double e, double s, int v) { return e * 10 + s + v; });
};

TEST_F(TableStore, StartsEmptyWithTheHeaderBufferAllPercent) {
  EXPECT_EQ(std::string(store.Header()), std::string(200, '%'));
  for (int a = 0; a < TBL::kMaxElements; ++a) {
    for (int b = 0; b < TBL::kMaxElements; ++b) EXPECT_EQ(store.Table(a, b), nullptr);
  }
}

TEST_F(TableStore, TextTableIsLoadedAndConvertedToBinary) {
  WriteText(prefix + "Zel1405.dat", distinct);
  EXPECT_EQ(LoadAll(store, siliconBoron), "# Found ... " + prefix + "Zel1405.dat\n");
  EXPECT_EQ(Loaded(store, 0, 1), distinct);
  for (auto [a, b] : {std::pair{0, 0}, {1, 0}, {1, 1}}) EXPECT_EQ(store.Table(a, b), nullptr);

  const std::string binary = ReadFile(prefix + "Zel1405.lit");
  ASSERT_EQ(binary.size(), 121160u);
  std::string header = "nE=72,n_S=30,nV=7";
  header += '\0';
  header += std::string(181, '%') + '\n';  // the rest of the text file's header
  EXPECT_EQ(binary.substr(0, 200), header);
  std::vector<double> written(TBL::kTableValues);
  std::memcpy(written.data(), binary.data() + 200, TBL::kTableBytes);
  EXPECT_EQ(written, distinct);
}

TEST_F(TableStore, BinaryTableIsPreferredAtTheNextRun) {
  WriteText(prefix + "Zel1405.dat", distinct);
  LoadAll(store, siliconBoron);
  WriteText(prefix + "Zel1405.dat", Values([](double, double, int) { return 7.0; }));
  TBL next;
  EXPECT_EQ(LoadAll(next, siliconBoron), "# Found " + prefix + "Zel1405.lit (100%) OK. \n");
  EXPECT_EQ(Loaded(next, 0, 1), distinct);
}

TEST_F(TableStore, AShortBinaryTableIsNotUsedAndTheTextTableReplacesIt) {
  WriteText(prefix + "Zel1405.dat", distinct);
  std::string bytes(200, '%');
  bytes.append(reinterpret_cast<const char*>(distinct.data()), 100 * sizeof(double));
  WriteFile(prefix + "Zel1405.lit", bytes);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadAll(store, siliconBoron), "# Found ... " + prefix + "Zel1405.dat\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Warning: TBL::LoadBinary, " + prefix +
                "Zel1405.lit is short (1000 of 121160 bytes); it is not used\n");
  EXPECT_EQ(Loaded(store, 0, 1), distinct);
  EXPECT_EQ(ReadFile(prefix + "Zel1405.lit").size(), 121160u);
}

TEST_F(TableStore, MissingFilesLeaveTheSlotEmptyAndPrintNothing) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(store.LoadBinary(0, 1, "Zel1405.dat"), 0);
  EXPECT_EQ(store.LoadASCII(0, 1, "Zel1405.dat"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(store.Table(0, 1), nullptr);
  EXPECT_EQ(LoadAll(store, siliconBoron), "");
  EXPECT_FALSE(FileExists(prefix + "Zel1405.lit"));
}

TEST_F(TableStore, FailedTextLoadEmptiesTheSlot) {
  WriteText(prefix + "Zel1405.dat", distinct);
  LoadAll(store, siliconBoron);
  std::filesystem::remove(prefix + "Zel1405.dat");
  EXPECT_EQ(store.LoadASCII(0, 1, "Zel1405.dat"), 0);
  EXPECT_EQ(store.Table(0, 1), nullptr);
}

TEST_F(TableStore, AShortTextTableIsNotUsed) {
  std::vector<double> some(distinct.begin(), distinct.begin() + 70);
  WriteText(prefix + "Zel1405.dat", some);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(store.LoadASCII(0, 1, "Zel1405.dat"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "# Warning: TBL::LoadASCII, " + prefix +
                "Zel1405.dat holds 70 of 15120 values; it is not used\n");
  EXPECT_EQ(store.Table(0, 1), nullptr);
}

TEST_F(TableStore, PrefixIsUsedVerbatimAndTheLetterFollowsThePotential) {
  ScopedTableDirectory verbatim(prefix + "pre-");
  potentials.Type[14][5] = 5;  // Bohr
  WriteText(prefix + "pre-Bel1405.dat", distinct);
  EXPECT_EQ(LoadAll(store, siliconBoron), "# Found ... " + prefix + "pre-Bel1405.dat\n");
  EXPECT_TRUE(FileExists(prefix + "pre-Bel1405.lit"));
}

TEST_F(TableStore, TextWrittenByTheStoreReadsBack) {
  const std::vector<double> sixDigits =
      Values([](double e, double s, int v) { return v == 2 ? -0.125 : e + s; });
  WriteText(prefix + "Zel1405.dat", sixDigits);
  LoadAll(store, siliconBoron);
  store.SaveASCII(0, 1, prefix + "copy.dat");
  const std::string text = ReadFile(prefix + "copy.dat");
  EXPECT_EQ(std::string(text.c_str()), "nE=72,n_S=30,nV=7");
  EXPECT_EQ(text.substr(200, text.find('\n', 200) - 199),
            "10.0005 10.0005 -0.125 10.0005 10.0005 10.0005 10.0005 \n");

  std::filesystem::rename(prefix + "copy.dat", prefix + "Zel0514.dat");
  testing::internal::CaptureStdout();
  ASSERT_EQ(store.LoadASCII(1, 0, "Zel0514.dat"), 1);
  testing::internal::GetCapturedStdout();
  for (std::size_t n = 0; n < TBL::kTableValues; ++n) {
    ASSERT_NEAR(store.Table(1, 0)[n], sixDigits[n], 5e-6 * std::fabs(sixDigits[n])) << n;
  }
}

using TableStoreDeathTest = TableStore;

TEST_F(TableStoreDeathTest, FilesThatCannotBeCreatedEndTheRun) {
  WriteText(prefix + "Zel1405.dat", distinct);
  LoadAll(store, siliconBoron);
  ScopedTableDirectory missing(prefix + "no-such-dir/");
  EXPECT_EXIT(store.SaveBinary(0, 1, "Zel1405.dat"), testing::ExitedWithCode(301 & 0xFF),
              "^# Error: TBL::SaveBinary\n$");
  EXPECT_EXIT(store.SaveASCII(0, 1, prefix + "no-such-dir/x.dat"),
              testing::ExitedWithCode(301 & 0xFF), "^# Error: TBL::SaveASCII\n$");
}

// Look-ups on a table whose values the interpolation reproduces everywhere:
// linear in energy, and along the impact parameter either linear (the
// asymptote intersections, the sum of the two energies) or with a logarithm
// quadratic in ln p (the recoil energy and cosine), the shape that a power
// law with a slowly changing exponent has.
class TableLookup : public TableStore {
 protected:
  void SetUp() override {
    WriteText(prefix + "Zel1405.dat", Values(Smooth));
    LoadAll(store, siliconBoron);
  }
  static double Bell(double s) {
    const double x = std::log(s);
    return std::exp(-0.05 * x * x - x);
  }
  static double Recoil(double e, double s) { return (0.1 * e - 2.0) * Bell(s); }  // < 0 below 20 eV
  static double Smooth(double e, double s, int v) {
    switch (v) {
      case 0: return 0.01 * s - 0.02;  // positive from 2 A on
      case 2: return (0.5 + 1e-8 * e) * Bell(s) / Bell(1e-3);
      case 3: return 0.9 * e + 100 * s - Recoil(e, s);  // the sum beyond E at large s
      case 4: return Recoil(e, s);
      default: return v * 1.5 + 1e-4 * e - 0.3 * s;
    }
  }
  CollisionOutcome At(double energy, double impact) {
    CollisionOutcome out;
    store.Lookup(1, 2, energy, impact, siliconBoron, potentials, out);
    return out;
  }
  void ExpectSmooth(double energy, double impact) {
    const CollisionOutcome o = At(energy, impact);
    const double tolerance = 1e-9 * (1 + energy);
    EXPECT_NEAR(o.ProjectileIntersection, std::min(Smooth(energy, impact, 0), 0.0), tolerance);
    EXPECT_NEAR(o.RecoilIntersection, Smooth(energy, impact, 1), tolerance);
    EXPECT_NEAR(o.RecoilCosine, Smooth(energy, impact, 2), tolerance);
    const double sum = 0.9 * energy + 100 * impact;
    EXPECT_NEAR(o.ProjectileEnergy, std::min(energy, std::max(sum - Recoil(energy, impact), 0.0)),
                tolerance);
    EXPECT_NEAR(o.RecoilEnergy, std::max(Recoil(energy, impact), 0.0), tolerance);
    EXPECT_EQ(o.EnergyLoss, 0.0);  // not interpolated, though the table holds 7.5 there
    EXPECT_EQ(o.PathLength, 0.0);
  }
};

TEST_F(TableLookup, GridPointsReturnTheStoredValues) {
  for (int e : {0, 1, 35, 70}) {
    for (int i : {0, 13, 28}) {
      const double energy = EnergyIndexToValue(e).lower;
      const double impact = ImpactIndexToValue(i).lower;
      const CollisionOutcome o = At(energy, impact);
      EXPECT_EQ(o.RecoilIntersection, Smooth(energy, impact, 1));
      EXPECT_DOUBLE_EQ(o.RecoilCosine, Smooth(energy, impact, 2));
      ExpectSmooth(energy, impact);
    }
  }
}

TEST_F(TableLookup, BetweenGridPointsTheShapesAreFollowed) {
  for (double energy : {25.0, 150.0, 3.3e4, 8.2e6}) {
    for (double impact : {0.0007, 0.002, 0.02, 0.13, 1.1, 3.9, 4.9}) ExpectSmooth(energy, impact);
  }
}

TEST_F(TableLookup, NonPositiveValuesAreInterpolatedLinearly) {
  // Below 20 eV the recoil energy of the table is negative: linear, clamped.
  const double e0 = EnergyIndexToValue(1).lower, e1 = EnergyIndexToValue(2).lower;
  const double energy = 0.5 * (e0 + e1), impact = 0.15;
  ASSERT_LT(e1, 20.0);
  const double expected = Recoil(energy, impact);
  EXPECT_LT(expected, 0.0);
  EXPECT_EQ(At(energy, impact).RecoilEnergy, 0.0);
}

TEST_F(TableLookup, BelowTheFirstPointsTheFirstCellIsExtrapolated) {
  // Linear values below the first energy and impact parameter.
  for (auto [energy, impact] : {std::pair{5.0, 0.5}, {100.0, 0.0}, {2.0, 0.0001}}) {
    const CollisionOutcome o = At(energy, impact);
    EXPECT_NEAR(o.RecoilIntersection, Smooth(energy, impact, 1), 1e-9);
  }
  // Along the impact parameter the first cell's straight line continues.
  const double s0 = ImpactIndexToValue(0).lower, s1 = ImpactIndexToValue(1).lower;
  const double energy = 1000.0, impact = 0.0001;
  const double line =
      Recoil(energy, s0) + (impact - s0) / (s1 - s0) * (Recoil(energy, s1) - Recoil(energy, s0));
  EXPECT_NEAR(At(energy, impact).RecoilEnergy, line, 1e-9 * energy);
}

TEST_F(TableLookup, ResultsAreClampedToPhysicalValues) {
  EXPECT_EQ(At(15.0, 0.0005).RecoilEnergy, 0.0);      // 0.1 E - 2 < 0
  EXPECT_EQ(At(100.0, 4.0).ProjectileEnergy, 100.0);  // 0.9 E + 100 s > E
  EXPECT_EQ(At(1e3, 4.0).ProjectileIntersection, 0.0);
}

using TableLookupDeathTest = TableLookup;

TEST_F(TableLookupDeathTest, RequestsOutsideTheTableEndTheRun) {
  EXPECT_EXIT(At(1000.0, 5.0), testing::ExitedWithCode(407 & 0xFF),
              "^# Error: Maximum energy tabulated reached\n"
              "# E= 1000 eV, p=5 angstroms\n"
              "# nE= 24, np=29\n$");
  EXPECT_EXIT(At(8254041.852, 0.1), testing::ExitedWithCode(407 & 0xFF),
              "# E= 8.25404e\\+06 eV, p=0.1 angstroms\n# nE= 71, np=6\n$");
  EXPECT_EXIT(At(1e7, 7.0), testing::ExitedWithCode(407 & 0xFF), "# nE= 71, np=29\n$");
}

TEST(TableGeneration, AMissingTableIsGeneratedAsTextAndLoaded) {
  const scattering_test::SharedTables& shared = scattering_test::Shared();
  EXPECT_EQ(shared.boronSiliconOut,
            "# Generating nuclear stopping table Zel0514.dat\n"
            "# Z1 = 5,Z2 = 14,W1 = 10.811,W2 = 28.086\n"
            "# Found ... " +
                shared.prefix + "Zel0514.dat\n");
  // Standard error is no terminal here: one line for the table, no index
  // lines overwriting each other.
  const std::string& progress = shared.boronSiliconErr;
  EXPECT_EQ(progress.rfind("# Zel0514.dat: 72 energies calculated in ", 0), 0u) << progress;
  EXPECT_EQ(std::count(progress.begin(), progress.end(), '\n'), 1) << progress;
  EXPECT_EQ(progress.find('\b'), std::string::npos);
  EXPECT_EQ(progress.back(), '\n');

  EXPECT_FALSE(FileExists(shared.prefix + "Zel0514.lit"));  // a later set-up converts it
  const std::string text = ReadFile(shared.prefix + "Zel0514.dat");
  EXPECT_EQ(text.substr(0, 200), ComputerHeader("W1=10.811,W2=28.086"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + N_ENERGY * N_S);
  // The header of the last table loaded.
  const std::string header(shared.store.Header(), 200);
  EXPECT_EQ(header, ComputerHeader(MassTagOf(header.c_str())));
  EXPECT_EQ(MassTagOf(header.c_str()).rfind("W1=", 0), 0u);

  // The table in memory is the text as written, 6 decimals.
  std::istringstream numbers(text.substr(200));
  const double* table = shared.store.Table(0, 1);
  ASSERT_NE(table, nullptr);
  double value = 0.0;
  std::size_t n = 0;
  while (numbers >> value) ASSERT_EQ(table[n++], value) << n;
  EXPECT_EQ(n, TBL::kTableValues);
}

}  // namespace
}  // namespace orvane
