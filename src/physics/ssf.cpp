#include "physics/ssf.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "core/fatal.h"
#include "core/replaced_file.h"
#include "physics/table_directory.h"

namespace orvane {

namespace {

struct ExponentialTerm {
  double c;
  double b;
};

constexpr ExponentialTerm kZbl[] = {
    {0.18179, 3.2}, {0.50986, 0.9423}, {0.28018, 0.4029}, {0.02817, 0.2016}};
constexpr ExponentialTerm kMoliereTerms[] = {{0.35, 0.3}, {0.55, 1.2}, {0.1, 6.0}};
constexpr ExponentialTerm kLenzJensenTerms[] = {
    {0.7466, 1.038}, {0.2433, 0.3876}, {0.01018, 0.206}};
constexpr ExponentialTerm kBohrTerms[] = {{1.0, 1.0}};

// Thomas-Fermi in the Sommerfeld form: Phi(x) = [1 + (x / scale)^power]^(-exponent).
constexpr double kThomasFermiPower = 0.8034;
constexpr double kThomasFermiExponent = 3.7341299477221805;  // 3 / 0.8034
const double kThomasFermiScale = std::pow(12.0, 0.6666666);

int KnownType(int type) {
  return type >= kZblUniversal && type <= kSpecificTwoColumns ? type : kZblUniversal;
}

double SamplePoint(int k) { return SSF::kSpacing * k; }

template <std::size_t N>
void FillExponentialSum(SSF& ssf, const ExponentialTerm (&terms)[N]) {
  for (int k = 0; k < SSF::kPoints; ++k) {
    const double x = SamplePoint(k) / ssf.a;
    double phi = 0.0;
    double slope = 0.0;
    for (const ExponentialTerm& term : terms) {
      const double part = term.c * std::exp(-term.b * x);
      phi += part;
      slope -= term.b * part;
    }
    ssf.Phi[k] = phi;
    ssf.dPhi[k] = slope / ssf.a;
  }
}

// The analytic derivative diverges at r = 0 (as r^-0.1966); the first entry
// takes the mean slope over the first interval instead, which is what the
// linear interpolation of Phi there implies.
void FillThomasFermi(SSF& ssf) {
  for (int k = 0; k < SSF::kPoints; ++k) {
    const double y = SamplePoint(k) / ssf.a / kThomasFermiScale;
    const double base = 1.0 + std::pow(y, kThomasFermiPower);
    ssf.Phi[k] = std::pow(base, -kThomasFermiExponent);
    if (k > 0) {
      const double dPhiDy = -kThomasFermiExponent * std::pow(base, -kThomasFermiExponent - 1.0) *
                            kThomasFermiPower * std::pow(y, kThomasFermiPower - 1.0);
      ssf.dPhi[k] = dPhiDy / (kThomasFermiScale * ssf.a);
    }
  }
  ssf.dPhi[0] = (ssf.Phi[1] - ssf.Phi[0]) / SSF::kSpacing;
}

struct FileRow {
  double r;
  double phi;
  double dPhi;
};

std::string FileName(const char* format, int z1, int z2) {
  char name[32];
  std::snprintf(name, sizeof name, format, z1, z2);
  return ScreeningDirectory() + name;
}

[[noreturn]] void RejectFile(const std::string& problem, const std::string& path) {
  Fatal(300, "# Error: SSF::Init, " + problem + " the specific screening function " + path + "\n");
}

// Complete rows of r, Phi and, with three columns, dPhi/dr, to end of file.
std::vector<FileRow> ReadRows(std::ifstream& is, bool withDerivative, const std::string& path) {
  std::vector<FileRow> rows;
  FileRow row{0.0, 0.0, 0.0};
  while (is >> row.r >> row.phi && (!withDerivative || is >> row.dPhi)) {
    if (static_cast<int>(rows.size()) == SSF::kMaxFileRows) {
      RejectFile("more than " + std::to_string(SSF::kMaxFileRows) + " rows in", path);
    }
    if (!rows.empty() && !(row.r > rows.back().r)) {
      RejectFile("r does not increase at row " + std::to_string(rows.size() + 1) + " of", path);
    }
    rows.push_back(row);
  }
  if (rows.size() < 2) RejectFile("fewer than 2 rows in", path);
  return rows;
}

// Bisection for the rows that bracket r, starting from the second row, so
// that points below it are extrapolated from the second and third rows.
int UpperBracket(const std::vector<FileRow>& rows, double r) {
  int lower = 1;
  int upper = static_cast<int>(rows.size()) - 1;
  while (upper - lower > 1) {
    const int mid = (lower + upper) / 2;
    if (rows[mid].r > r) {
      upper = mid;
    } else {
      lower = mid;
    }
  }
  return upper;
}

void Interpolate(SSF& ssf, const std::vector<FileRow>& rows) {
  for (int k = 0; k < SSF::kPoints; ++k) {
    const double r = SamplePoint(k);
    const int upper = UpperBracket(rows, r);
    const FileRow& p = rows[upper - 1];
    const FileRow& q = rows[upper];
    const double t = (r - p.r) / (q.r - p.r);
    ssf.Phi[k] = p.phi + t * (q.phi - p.phi);
    ssf.dPhi[k] = p.dPhi + t * (q.dPhi - p.dPhi);
  }
}

void FillFromThreeColumnFile(SSF& ssf, int z1, int z2) {
  const std::string path = FileName("ssf%02d%02d.dat", z1, z2);
  std::ifstream is(path);
  if (!is) RejectFile("I can't read", path);
  Interpolate(ssf, ReadRows(is, true, path));
}

// The completed table in the three-column form, one line per sample point;
// a file that cannot be created is simply not written.
void WriteCompletedTable(const SSF& ssf, const std::string& path) {
  ReplacedFile replaced(path);
  std::ofstream& os = replaced.Stream();
  for (int k = 0; k < SSF::kPoints; ++k) {
    os << SamplePoint(k) << ' ' << ssf.Phi[k] << ' ' << ssf.dPhi[k] << '\n';
  }
  replaced.Commit();
}

void FillFromTwoColumnFile(SSF& ssf, int z1, int z2) {
  const std::string path = FileName("ssf%02d%02d.wopd", z1, z2);
  std::ifstream is(path);
  if (!is)
    Fatal(300, "# Error, SSF::Init, I can't read the specific screening function " + path + "\n");
  Interpolate(ssf, ReadRows(is, false, path));
  double previous = 1.0;  // Phi(r) tends to 1 as r goes to 0
  for (int k = 0; k < SSF::kPoints; ++k) {
    ssf.dPhi[k] = (ssf.Phi[k] - previous) / SSF::kSpacing;
    previous = ssf.Phi[k];
  }
  WriteCompletedTable(ssf, FileName("ssf%02d%02d.w", z1, z2));
}

}  // namespace

void SSF::Init(int z1, int z2, int type) {
  Require(z1 > 0 && z2 > 0, "Z1>0&&Z2>0", "ssf", __LINE__);
  a = 0.4683766 /
      (std::pow(static_cast<double>(z1), 0.23) + std::pow(static_cast<double>(z2), 0.23));
  switch (KnownType(type)) {
    case kSpecificThreeColumns: FillFromThreeColumnFile(*this, z1, z2); break;
    case kThomasFermi: FillThomasFermi(*this); break;
    case kMoliere: FillExponentialSum(*this, kMoliereTerms); break;
    case kLenzJensen: FillExponentialSum(*this, kLenzJensenTerms); break;
    case kBohr: FillExponentialSum(*this, kBohrTerms); break;
    case kSpecificTwoColumns: FillFromTwoColumnFile(*this, z1, z2); break;
    default: FillExponentialSum(*this, kZbl); break;
  }
}

char ScreeningLetter(int type) {
  switch (KnownType(type)) {
    case kSpecificThreeColumns:
    case kSpecificTwoColumns: return 'S';
    case kThomasFermi: return 'T';
    case kMoliere: return 'M';
    case kLenzJensen: return 'L';
    case kBohr: return 'B';
    default: return 'Z';
  }
}

std::string PairTableName(int z1, int z2, const PairPotentials& potentials) {
  char name[32];
  std::snprintf(name, sizeof name, "%cel%02d%02d.dat", ScreeningLetter(potentials.At(z1, z2)), z1,
                z2);
  return name;
}

}  // namespace orvane
