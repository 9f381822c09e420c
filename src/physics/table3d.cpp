#include "physics/table3d.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <new>
#include <sstream>

#include "core/fatal.h"
#include "core/replaced_file.h"
#include "core/terminal.h"
#include "physics/ssf.h"
#include "physics/table_directory.h"
#include "physics/table_masses.h"
#include "physics/tc.h"

namespace orvane {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the binary tables are little-endian doubles written as they lie in memory");

namespace {

// The binary twin of a text-table name: the extension replaced by "lit".
std::string BinaryName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return (dot == std::string::npos ? name + "." : name.substr(0, dot + 1)) + "lit";
}

const Atom& ElementAt(const AtomList& atoms, int position) {
  Require(position >= 1 && position <= atoms.NumberOfElements(), "n>=1 && n<=count", "table3d",
          __LINE__);
  auto element = atoms.begin();
  for (int i = 1; i < position; ++i) ++element;
  return *element;
}

void RequireSlot(int a, int b) {
  Require(a >= 0 && a < TBL::kMaxElements && b >= 0 && b < TBL::kMaxElements,
          "a>=0&&a<MAX_ELEMENTS&&b>=0&&b<MAX_ELEMENTS", "table3d", __LINE__);
}

[[noreturn]] void OutsideTable(double energy, double impact, int e, int i) {
  std::ostringstream message;
  message << "# Error: Maximum energy tabulated reached\n"
          << "# E= " << energy << " eV, p=" << impact << " angstroms\n"
          << "# nE= " << e << ", np=" << i << "\n";
  Fatal(407, message.str());
}

// ln p of the impact-parameter grid points.
const double* LogImpactGrid() {
  static const auto grid = [] {
    std::array<double, N_S> g{};
    for (int j = 0; j < N_S; ++j) g[j] = std::log(ImpactIndexToValue(j).lower);
    return g;
  }();
  return grid.data();
}

// The values at the impact parameter p of cell i, from the grid points
// around the cell (up to four, i-1 .. i+2) by Lagrange interpolation of
// ln(value) in ln(p): it follows both the flat top of an energy transfer
// near p = 0 and its steep fall further out.  Where the two points of the
// cell are not both positive, the linear value is kept.  The basis of the
// interpolation is worked out once for the curves that use the same points.
class ImpactCurves {
 public:
  ImpactCurves(int i, double p) : i_(i), p_(p) {}

  template <class Value>
  double Along(const Value& value, double linear) {
    const int i = i_;
    if (!(value(i) > 0.0 && value(i + 1) > 0.0)) return linear;
    const int first = (i > 0 && value(i - 1) > 0.0) ? i - 1 : i;
    const int last = (i + 2 < N_S && value(i + 2) > 0.0) ? i + 2 : i + 1;
    if (first != first_ || last != last_) SetBasis(first, last);
    double lnValue = 0.0;
    for (int j = first; j <= last; ++j) lnValue += basis_[j - first] * std::log(value(j));
    return std::exp(lnValue);
  }

 private:
  void SetBasis(int first, int last) {
    first_ = first;
    last_ = last;
    const double* lnGrid = LogImpactGrid();
    if (!logTaken_) {
      x_ = std::log(p_);
      logTaken_ = true;
    }
    for (int j = first; j <= last; ++j) {
      double basis = 1.0;
      for (int k = first; k <= last; ++k) {
        if (k != j) basis *= (x_ - lnGrid[k]) / (lnGrid[j] - lnGrid[k]);
      }
      basis_[j - first] = basis;
    }
  }

  int i_;
  double p_;
  double x_ = 0.0;
  bool logTaken_ = false;
  int first_ = -1, last_ = -1;
  double basis_[4] = {};
};

}  // namespace

TBL::TBL() {
  std::fill(header_, header_ + kHeaderBytes, '%');
  header_[kHeaderBytes] = '\0';
}

void TBL::LoadAll(const AtomList& atoms, const PairPotentials& potentials) {
  Require(atoms.NumberOfElements() <= kMaxElements, "NumberOfElements<=MAX_ELEMENTS", "table3d",
          __LINE__);
  int a = 0;
  for (const Atom& projectile : atoms) {
    int b = 0;
    for (const Atom& target : atoms) {
      const std::string name = TableNameForMasses(
          PairTableName(projectile.Z, target.Z, potentials), projectile.W, target.W);
      if (!LoadBinary(a, b, name) && LoadASCII(a, b, name)) SaveBinary(a, b, name);
      ++b;
    }
    ++a;
  }
}

double* TBL::NewTable(int a, int b) {
  tables_[a][b].reset(new (std::nothrow) double[kTableValues]());
  return tables_[a][b].get();
}

int TBL::LoadBinary(int a, int b, const std::string& name) {
  RequireSlot(a, b);
  const std::string path = TableDirectory() + BinaryName(name);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  const std::size_t headerBytes = std::fread(header_, 1, kHeaderBytes, file);
  double* table = NewTable(a, b);
  if (table == nullptr) {
    Fatal(302, "# Error: TBL::LoadBinary, I Can't Allocate " + std::to_string(kTableBytes) +
                   " bytes !!\n");
  }
  const std::size_t bytes = std::fread(table, 1, kTableBytes, file);
  std::fclose(file);
  if (headerBytes < kHeaderBytes || bytes < kTableBytes) {
    // A short table is never used: the text table, or a new one, takes its
    // place.
    tables_[a][b].reset();
    std::cerr << "# Warning: TBL::LoadBinary, " << path << " is short (" << headerBytes + bytes
              << " of " << kHeaderBytes + kTableBytes << " bytes); it is not used\n";
    return 0;
  }
  std::cout << "# Found " << path << " (100%) OK. " << '\n';
  return 1;
}

int TBL::LoadASCII(int a, int b, const std::string& name) {
  RequireSlot(a, b);
  const std::string path = TableDirectory() + name;
  std::ifstream is(path, std::ios::binary);
  if (!is) {
    tables_[a][b].reset();
    return 0;
  }
  is.read(header_, kHeaderBytes);
  double* table = NewTable(a, b);
  if (table == nullptr) {
    Fatal(302, "\n# Error: TBL::LoadASCII, Can't allocate " + std::to_string(kTableBytes) +
                   " bytes !! \n\n");
  }
  std::size_t read = 0;
  while (read < kTableValues && is >> table[read]) ++read;
  if (read < kTableValues) {
    // A short table is never used: the first look-up generates it again.
    tables_[a][b].reset();
    std::cerr << "# Warning: TBL::LoadASCII, " << path << " holds " << read << " of "
              << kTableValues << " values; it is not used\n";
    return 0;
  }
  std::cout << "# Found ... " << path << '\n';
  return 1;
}

void TBL::SaveBinary(int a, int b, const std::string& name) {
  RequireSlot(a, b);
  Require(tables_[a][b] != nullptr, "Table!=NULL", "table3d", __LINE__);
  std::snprintf(header_, kHeaderBytes, "nE=%2d,n_S=%2d,nV=%1d", N_ENERGY, N_S, kValues);
  ReplacedFile file(TableDirectory() + BinaryName(name), std::ios::out | std::ios::binary);
  file.Stream().write(header_, kHeaderBytes);
  file.Stream().write(reinterpret_cast<const char*>(tables_[a][b].get()), kTableBytes);
  if (!file.Commit()) Fatal(301, "# Error: TBL::SaveBinary\n");
}

void TBL::SaveASCII(int a, int b, const std::string& path) {
  RequireSlot(a, b);
  Require(tables_[a][b] != nullptr, "Table!=NULL", "table3d", __LINE__);
  std::snprintf(header_, kHeaderBytes, "nE=%2d,n_S=%2d,nV=%1d", N_ENERGY, N_S, kValues);
  ReplacedFile file(path, std::ios::out | std::ios::binary);
  std::ofstream& os = file.Stream();
  os.write(header_, kHeaderBytes);
  const double* value = tables_[a][b].get();
  for (int line = 0; line < N_ENERGY * N_S; ++line) {
    for (int v = 0; v < kValues; ++v) os << *value++ << ' ';
    os << '\n';
  }
  if (!file.Commit()) Fatal(301, "# Error: TBL::SaveASCII\n");
}

void TBL::Generate(int projectile, int target, const AtomList& atoms,
                   const PairPotentials& potentials) {
  const Atom& p = ElementAt(atoms, projectile);
  const Atom& t = ElementAt(atoms, target);
  const std::string name = TableNameForMasses(PairTableName(p.Z, t.Z, potentials), p.W, t.W);
  std::cout << "# Generating nuclear stopping table " << name << '\n';
  const std::string path = TableDirectory() + name;
  std::cout << "# Z1 = " << p.Z << ",Z2 = " << t.Z << ",W1 = " << p.W << ",W2 = " << t.W << '\n';
  std::cout.flush();
  TC computer;
  computer.Init(p.Z, t.Z, p.W, t.W, N_ENERGY, potentials);
  // The index lines overwrite each other on a terminal; a file or a pipe
  // gets one line for the table instead.
  const bool terminal = StandardErrorIsTerminal();
  computer.ShowProgress(terminal);
  const std::time_t start = std::time(nullptr);
  computer.ComputeIndexes(N_ENERGY);
  if (terminal) {
    std::cerr << '\n';
  } else {
    std::cerr << "# " << name << ": " << N_ENERGY << " energies calculated in "
              << std::difftime(std::time(nullptr), start) << " seconds" << std::endl;
  }
  computer.SAVE_ASCII(path, N_ENERGY);
  if (!LoadASCII(projectile - 1, target - 1, name)) {
    Fatal(300, "# Error: TBL::Generate, Can't read back " + path + "\n");
  }
}

void TBL::Lookup(int projectile, int target, double energy, double impact, const AtomList& atoms,
                 const PairPotentials& potentials, CollisionOutcome& out) {
  RequireSlot(projectile - 1, target - 1);
  if (tables_[projectile - 1][target - 1] == nullptr)
    Generate(projectile, target, atoms, potentials);
  const double* table = tables_[projectile - 1][target - 1].get();
  Require(table != nullptr, "Table!=NULL", "table3d", __LINE__);

  const int e = EnergyValueToIndex(energy);
  const int i = ImpactValueToIndex(impact);
  if (e > N_ENERGY - 2 || i > N_S - 2) OutsideTable(energy, impact, e, i);
  const GridCell energies = EnergyIndexToValue(e);
  const GridCell impacts = ImpactIndexToValue(i);
  const double te = (energy - energies.lower) / (energies.upper - energies.lower);
  const double ts = (impact - impacts.lower) / (impacts.upper - impacts.lower);

  // The table value v at the energy, linear between the two energies of
  // its cell, at impact-parameter index j.
  auto atImpact = [&](int v, int j) {
    const double* lower = table + (static_cast<std::size_t>(e) * N_S + j) * kValues + v;
    return *lower + te * (lower[N_S * kValues] - *lower);
  };
  double w[5];
  for (int v = 0; v < 5; ++v) {
    const double a = atImpact(v, i);
    w[v] = a + ts * (atImpact(v, i + 1) - a);
  }
  // The energy given to the atom and the recoil's direction cosine fall off
  // steeply and with changing slope between the grid points; a straight
  // line between them overshoots, and the nuclear stopping with it.  The
  // projectile keeps what the atom does not take.
  if (impact >= impacts.lower) {
    const double total = w[3] + w[4];
    ImpactCurves curves(i, impact);
    w[2] = curves.Along([&](int j) { return atImpact(2, j); }, w[2]);
    w[4] = curves.Along([&](int j) { return atImpact(4, j); }, w[4]);
    w[3] = total - w[4];
  }
  out.ProjectileIntersection = std::min(w[0], 0.0);
  out.RecoilIntersection = w[1];
  out.RecoilCosine = w[2];
  out.ProjectileEnergy = std::min(energy, std::max(w[3], 0.0));
  out.RecoilEnergy = std::max(w[4], 0.0);
  out.EnergyLoss = 0.0;
  out.PathLength = 0.0;
}

}  // namespace orvane
