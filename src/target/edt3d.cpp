#include "target/edt3d.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <new>
#include <sstream>
#include <vector>

#include <sys/mman.h>

#include "core/double_lanes.h"
#include "core/fatal.h"
#include "core/replaced_file.h"
#include "target/density_path.h"

namespace orvane {

namespace {

constexpr int kHeaderSize = 301;
// Values read or written at a time through a buffer: the file holds them
// in grid order, the table twice over.
constexpr std::size_t kValuesPerChunk = std::size_t{1} << 16;

// Where a coordinate falls in the periodic box along one axis: the lower
// grid index of its interval (0..N-2) and the weight of the upper one.
struct AxisPoint {
  int index;
  double weight;
};

// The box runs from -side/2 to side/2; the coordinate is wrapped into it by
// whole periods, in units of the side (multiplied by its inverse, for
// speed: the look-up runs at every sub-step of every flight).
// The whole number of periods below p: a conversion to an integer where p
// fits one (every coordinate of a target), the library's floor otherwise.
double WholePeriods(double p) {
  if (!(std::fabs(p) < 1e15)) return std::floor(p);
  const double whole = static_cast<double>(static_cast<int64_t>(p));
  return whole > p ? whole - 1.0 : whole;
}

AxisPoint Locate(double x, double side, double inverseSide, int n) {
  double periods = (x + 0.5 * side) * inverseSide;
  periods -= WholePeriods(periods);
  const double g = periods * n;  // grid units from the lower face, 0..n
  // The index counts from the centre less N div 2 while the weight counts
  // from the centre less N/2: for an odd N the index is truncated half a
  // grid unit lower (toward zero), and the weight may exceed 1.  NaN
  // coordinates fall into the first cell.
  const double fromIndexOrigin = g - 0.5 * (n % 2);
  int i = fromIndexOrigin > -1.0 ? static_cast<int>(fromIndexOrigin) : 0;
  if (i > n - 2) i = n - 2;
  return {i, g - i};
}

// count zeroed doubles, aligned to a huge page and advised to use them;
// null without memory.
double* AllocateValues(std::size_t count) {
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  if (count > (static_cast<std::size_t>(-1) - kHugePage) / sizeof(double)) return nullptr;
  const std::size_t bytes = (count * sizeof(double) + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = std::aligned_alloc(kHugePage, bytes);
  if (memory == nullptr) return nullptr;
#ifdef MADV_HUGEPAGE
  madvise(memory, bytes, MADV_HUGEPAGE);  // only advice: small pages serve as well
#endif
  std::memset(memory, 0, bytes);
  return static_cast<double*>(memory);
}

double Between(double low, double high, double weight) {
  return (1.0 - weight) * low + weight * high;
}

// Skips the rest of the line; false at the end of the file.
bool SkipLine(std::FILE* file) {
  int c;
  while ((c = std::fgetc(file)) != EOF) {
    if (c == '\n') return true;
  }
  return false;
}

std::string HeaderNumbers(const double lado[3], const int points[3]) {
  char numbers[kHeaderSize * 2];
  std::snprintf(numbers, sizeof numbers, "\n  LADO (A)   N_POINTS\n %f %d\n %f %d\n %f %d ",
                lado[0], points[0], lado[1], points[1], lado[2], points[2]);
  return numbers;
}

// The grid cell of a point: the flat index of its lower corner and the
// weights of the upper corners along x, y and z.
struct Cell {
  std::size_t corner;
  double weight[3];
};

[[gnu::always_inline]] inline Cell CellAt(const EDT::Grid& grid, double x, double y, double z) {
  const AxisPoint px = Locate(x, grid.side[0], grid.inverseSide[0], grid.points[0]);
  const AxisPoint py = Locate(y, grid.side[1], grid.inverseSide[1], grid.points[1]);
  const AxisPoint pz = Locate(z, grid.side[2], grid.inverseSide[2], grid.points[2]);
  return {px.index * grid.strideX + py.index * grid.strideY + pz.index,
          {px.weight, py.weight, pz.weight}};
}

// Starts fetching the eight corners of the cell.
[[gnu::always_inline]] inline void Fetch(const EDT::Grid& grid, const Cell& cell) {
  const double* lower = grid.values + 2 * cell.corner;
  for (const double* run : {lower, lower + 2 * grid.strideX}) {
    __builtin_prefetch(run);
    __builtin_prefetch(run + 3);
  }
}

// Corners at or below kSmallest take the largest of the eight.
void ReplaceSmallCorners(Lanes& low, Lanes& high) {
  double largest = low[0];
  for (int k = 0; k < 4; ++k) largest = std::max({largest, low[k], high[k]});
  for (int k = 0; k < 4; ++k) {
    if (low[k] <= EDT::kSmallest) low[k] = largest;
    if (high[k] <= EDT::kSmallest) high[k] = largest;
  }
}

[[gnu::always_inline]] inline double Interpolate(const EDT::Grid& grid, const Cell& cell) {
  const double* lower = grid.values + 2 * cell.corner;
  // The two runs of four corners, (j, k) (j+1, k) (j, k+1) (j+1, k+1) at i
  // and at i + 1: the four edges along x interpolated side by side, each
  // lane as Between would.
  Lanes low, high;
  Load(lower, low);
  Load(lower + 2 * grid.strideX, high);
  if (grid.smallValues) ReplaceSmallCorners(low, high);
  const double w = cell.weight[0];
  const Lanes edge = (1.0 - w) * low + w * high;
  const double face0 = Between(edge[0], edge[1], cell.weight[1]);
  const double face1 = Between(edge[2], edge[3], cell.weight[1]);
  const double value = Between(face0, face1, cell.weight[2]);
  return value <= 0.0 ? EDT::kSmallest : value;
}

constexpr int kBatch = 32;  // points located at a time, a multiple of the lanes

// Locates the coordinates along one axis (count a multiple of the lanes),
// four at a time, each as Locate locates it; false where one of them lies
// 2^31 periods or more from the box or is not a number (the indices and
// weights are then of no use).
[[gnu::always_inline]] inline bool LocateAll(const double* along, int count, double side,
                                             double inverseSide, int n, int32_t* index,
                                             double* weight) {
  const Lanes zero = {};
  const double half = 0.5 * side, points = n, odd = 0.5 * (n % 2);
  const IndexLanes last = IndexLanes{} + (n - 2);
  LaneMask beyond = {};
  for (int k = 0; k < count; k += kSiteLanes) {
    Lanes x;
    Load(along + k, x);
    Lanes periods = (x + half) * inverseSide;
    Lanes magnitude;
    Magnitude(periods, magnitude);
    beyond |= ~(magnitude < zero + 2147483647.0);
    // Within 2^31 the truncation to 32 bits is that to 64.
    const Lanes whole =
        __builtin_convertvector(__builtin_convertvector(periods, IndexLanes), Lanes);
    periods -= whole > periods ? whole - 1.0 : whole;
    const Lanes g = periods * points;
    // g is at least 0 here: no index below 0.
    const IndexLanes i = __builtin_convertvector(g - odd, IndexLanes);
    const IndexLanes lower = i > last ? last : i;
    std::memcpy(index + k, &lower, sizeof lower);
    Store(g - __builtin_convertvector(lower, Lanes), weight + k);
  }
  return !Any(beyond);
}

// The look-ups along a line.  The points are stepped along the line one
// after another, then their grid cells located four at a time along each
// axis and fetched, so that the memory serves them together, and last
// interpolated.  A clone for processors with AVX2 gives the same values:
// the look-up takes only sums, products, comparisons and conversions.
__attribute__((target_clones("avx2", "default"))) void DensitiesOnGrid(
    const EDT::Grid& grid, double x, double y, double z, double dx, double dy, double dz,
    int count, double* densities) {
  double point[3][kBatch];
  int32_t index[3][kBatch];
  double weight[3][kBatch];
  Cell cells[kBatch];
  for (int first = 0; first < count; first += kBatch) {
    const int n = std::min(kBatch, count - first);
    for (int k = 0; k < n; ++k, x += dx, y += dy, z += dz) {
      point[0][k] = x;
      point[1][k] = y;
      point[2][k] = z;
    }
    // The last set of lanes filled up with the last point.
    const int located = WholeLanes(n);
    for (int k = n; k < located; ++k) {
      for (int axis = 0; axis < 3; ++axis) point[axis][k] = point[axis][n - 1];
    }
    bool inBox = true;
    for (int axis = 0; axis < 3; ++axis) {
      inBox &= LocateAll(point[axis], located, grid.side[axis], grid.inverseSide[axis],
                         grid.points[axis], index[axis], weight[axis]);
    }
    for (int k = 0; k < n; ++k) {
      if (inBox) {
        cells[k] = {static_cast<std::size_t>(index[0][k]) * grid.strideX +
                        static_cast<std::size_t>(index[1][k]) * grid.strideY +
                        static_cast<std::size_t>(index[2][k]),
                    {weight[0][k], weight[1][k], weight[2][k]}};
      } else {
        cells[k] = CellAt(grid, point[0][k], point[1][k], point[2][k]);
      }
      Fetch(grid, cells[k]);
    }
    for (int k = 0; k < n; ++k) densities[first + k] = Interpolate(grid, cells[k]);
  }
}

}  // namespace

EDT::EDT(const EDT& other) { *this = other; }

EDT& EDT::operator=(const EDT& other) {
  if (this == &other) return *this;
  for (int axis = 0; axis < 3; ++axis) {
    lado_[axis] = other.lado_[axis];
    nPoints_[axis] = other.nPoints_[axis];
  }
  if (other.values_ == nullptr) {
    values_.reset();
    count_ = strideX_ = strideY_ = smallValues_ = 0;
    return *this;
  }
  Allocate();
  std::memcpy(values_.get(), other.values_.get(), 2 * count_ * sizeof(double));
  smallValues_ = other.smallValues_;
  return *this;
}

void EDT::ShareGrid(const EDT& other) {
  for (int axis = 0; axis < 3; ++axis) {
    lado_[axis] = other.lado_[axis];
    nPoints_[axis] = other.nPoints_[axis];
    inverseSide_[axis] = other.inverseSide_[axis];
  }
  values_ = other.values_;
  count_ = other.count_;
  smallValues_ = other.smallValues_;
  strideX_ = other.strideX_;
  strideY_ = other.strideY_;
}

void EDT::Initialise(double lx, double ly, double lz, int nx, int ny, int nz) {
  lado_[0] = lx;
  lado_[1] = ly;
  lado_[2] = lz;
  nPoints_[0] = nx;
  nPoints_[1] = ny;
  nPoints_[2] = nz;
  Allocate();
}

void EDT::FreeValues::operator()(double* values) const { std::free(values); }

void EDT::Allocate() {
  for (int axis = 0; axis < 3; ++axis) inverseSide_[axis] = 1.0 / lado_[axis];
  std::size_t count = 1;
  bool fits = true;
  for (int n : nPoints_) {
    fits = fits && n > 0 && !__builtin_mul_overflow(count, static_cast<std::size_t>(n), &count);
  }
  fits = fits && count <= static_cast<std::size_t>(-1) / (2 * sizeof(double));
  values_.reset(fits ? AllocateValues(2 * count) : nullptr, FreeValues());
  if (values_ == nullptr) {
    errno = ENOMEM;
    std::perror("# No memory");
    Fatal(302, "");
  }
  count_ = count;
  smallValues_ = count;  // every value 0
  strideY_ = static_cast<std::size_t>(nPoints_[2]);
  strideX_ = static_cast<std::size_t>(nPoints_[1]) * strideY_;
}

double EDT::Density(double x, double y, double z) const {
  Require(values_ != nullptr, "Values!=NULL", "edt3d", __LINE__);
  const Grid grid = View();
  return Interpolate(grid, CellAt(grid, x, y, z));
}

void EDT::DensitiesAlong(double x, double y, double z, double dx, double dy, double dz, int count,
                         double* densities) const {
  Require(values_ != nullptr, "Values!=NULL", "edt3d", __LINE__);
  DensitiesOnGrid(View(), x, y, z, dx, dy, dz, count, densities);
}

EDT::Grid EDT::View() const {
  return {values_.get(),
          strideX_,
          strideY_,
          smallValues_ != 0,
          {lado_[0], lado_[1], lado_[2]},
          {inverseSide_[0], inverseSide_[1], inverseSide_[2]},
          {nPoints_[0], nPoints_[1], nPoints_[2]}};
}

int EDT::ReadTable3D(const std::string& name, int convert) {
  const std::string path = DensityPath(name);
  // Only the ".lit" form is this program's own: a short one is made again.
  // The other forms come from elsewhere and a short one ends the run.
  const std::string given = path + ".big";
  if (std::FILE* file = std::fopen(given.c_str(), "rb")) {
    const bool whole = ReadBinary(file, given);
    std::fclose(file);
    if (!whole) RefuseShort(given);
    return 0;
  }
  const std::string own = path + ".lit";
  if (std::FILE* file = std::fopen(own.c_str(), "rb")) {
    const bool whole = ReadBinary(file, own);
    std::fclose(file);
    if (whole) return 0;
    std::cerr << "# Warning: EDT::ReadTable3D, " << own << " is short; it is made again"
              << std::endl;
  }
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) {
    std::cerr << "# Error: EDT::ReadTable3D, File not found: " << path << std::endl;
    return 1;
  }
  const bool whole = ReadText(file, path);
  std::fclose(file);
  if (!whole) RefuseShort(path);
  if (convert) SaveBinTable3D(path);
  return 0;
}

bool EDT::ReadHeader(std::FILE* file) {
  if (!SkipLine(file) || !SkipLine(file)) return false;
  double lado[3];
  int points[3];
  if (std::fscanf(file, "%lf %d %lf %d %lf %d", &lado[0], &points[0], &lado[1], &points[1],
                  &lado[2], &points[2]) != 6) {
    return false;
  }
  SkipLine(file);
  for (int axis = 0; axis < 3; ++axis) {
    lado_[axis] = lado[axis];
    nPoints_[axis] = points[axis];
  }
  return true;
}

void EDT::CheckGrid(const std::string& path) const {
  for (int axis = 0; axis < 3; ++axis) {
    if (nPoints_[axis] >= 2 && lado_[axis] > 0.0 && std::isfinite(lado_[axis])) continue;
    std::ostringstream text;
    text << "# Error: EDT::ReadTable3D, The table " << path
         << " needs at least two grid points and a positive side along each axis; it has";
    for (int a = 0; a < 3; ++a) text << " " << lado_[a] << " A / " << nPoints_[a] << " points";
    Fatal(303, text.str() + "\n");
  }
}

bool EDT::ReadBinary(std::FILE* file, const std::string& shownPath) {
  if (!ReadHeader(file)) {
    Fatal(303, "# Error: EDT::ReadTable3D, No grid in the header of " + shownPath + "\n");
  }
  CheckGrid(shownPath);
  Allocate();
  const std::size_t bytes = count_ * sizeof(double);
  std::size_t read = 0;
  std::vector<double> chunk(kValuesPerChunk);
  for (std::size_t first = 0; first < count_; first += kValuesPerChunk) {
    const std::size_t wanted = std::min(kValuesPerChunk, count_ - first);
    const std::size_t got = std::fread(chunk.data(), sizeof(double), wanted, file);
    for (std::size_t n = 0; n < got; ++n) Store(first + n, chunk[n]);
    read += got * sizeof(double);
    if (got < wanted) break;
  }
  std::cerr << "# 3D binary density table read\n#\t(" << shownPath << ") " << read << "/" << bytes
            << std::endl;
  return read == bytes;
}

bool EDT::ReadText(std::FILE* file, const std::string& path) {
  if (!ReadHeader(file)) {
    Fatal(303, "# Error: EDT::ReadTable3D, No grid in the header of " + path + "\n");
  }
  CheckGrid(path);
  Allocate();
  char word[512];
  std::size_t n = 0;
  for (; n < count_ && std::fscanf(file, "%511s", word) == 1; ++n) {
    Store(n, std::strtod(word, nullptr));
  }
  std::cerr << "# 3D ASCII density table read\n\t(" << path << ")" << std::endl;
  return n == count_;
}

void EDT::RefuseShort(const std::string& path) const {
  Fatal(300, "# Error: EDT::ReadTable3D, " + path + " holds fewer than the " +
                 std::to_string(count_) + " values of its grid\n");
}

void EDT::SaveBinTable3D(const std::string& path) const {
  const std::string name = path + ".lit";
  ReplacedFile file(name, std::ios::out | std::ios::binary);
  if (!file.Stream()) Fatal(301, "# Error: EDT::SaveBinTable3D, File not found: " + name + "\n");
  // The name is shortened when needed so that the grid always fits the
  // header.
  const std::string opening = " EDT File ( ", closing = " ) ";
  const std::string numbers = HeaderNumbers(lado_, nPoints_);
  const long room =
      kHeaderSize - 2 - static_cast<long>(opening.size() + closing.size() + numbers.size());
  std::string text = opening + name.substr(0, room > 0 ? room : 0) + closing + numbers;
  if (text.size() > kHeaderSize - 2) text.resize(kHeaderSize - 2);
  char header[kHeaderSize];
  std::memset(header, ' ', sizeof header);
  std::memcpy(header, text.data(), text.size());
  header[text.size()] = '\0';
  header[kHeaderSize - 1] = '\n';
  file.Stream().write(header, kHeaderSize);
  std::vector<double> chunk(kValuesPerChunk);
  for (std::size_t first = 0; first < count_; first += kValuesPerChunk) {
    const std::size_t n = std::min(kValuesPerChunk, count_ - first);
    for (std::size_t k = 0; k < n; ++k) chunk[k] = values_[2 * (first + k)];
    file.Stream().write(reinterpret_cast<const char*>(chunk.data()),
                        static_cast<std::streamsize>(n * sizeof(double)));
  }
  if (!file.Commit()) {
    Fatal(301, "# Error: EDT::SaveBinTable3D, Can not write: " + name + "\n");
  }
  std::cerr << "# Binary 3D density table written (" << name << ")" << std::endl;
}

void EDT::SaveASCIITable3D(const std::string& name) const {
  ReplacedFile file(name);
  std::ofstream& os = file.Stream();
  if (!os) Fatal(301, "# Error: EDT::SaveASCIITable3D, File not found: " + name + "\n");
  std::cerr << "# ASCII 3D density table";
  os << " EDT File (" << name << ") for ?\n";
  os << "  LADO (A)   N_POINTS\n";
  for (int axis = 0; axis < 3; ++axis) os << lado_[axis] << " " << nPoints_[axis] << "\n";
  os << std::setprecision(17);
  for (std::size_t n = 0; n < count_; ++n) os << values_[2 * n] << "\n";
  if (!file.Commit()) Fatal(301, "# Error: EDT::SaveASCIITable3D, Can not write: " + name + "\n");
  std::cerr << " written (" << name << ")" << std::endl;
}

}  // namespace orvane
