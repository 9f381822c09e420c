// The electron density of one crystal cell on a regular 3-D grid, with its
// text and binary files and the periodic trilinear look-up.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace orvane {

class EDT {
 public:
  EDT() = default;
  EDT(const EDT& other);
  EDT& operator=(const EDT& other);
  EDT(EDT&&) = default;
  EDT& operator=(EDT&&) = default;

  // A box of the given side lengths (angstrom) with the given numbers of
  // grid points along x, y and z, every value 0.  Grid point i along x lies
  // at (i - Nx/2) Lx/Nx.  Without memory the process ends with status 302.
  void Initialise(double lx, double ly, double lz, int nx, int ny, int nz);
  void Set(int i, int j, int k, double value) { Store(i * strideX_ + j * strideY_ + k, value); }
  double At(int i, int j, int k) const { return values_[2 * (i * strideX_ + j * strideY_ + k)]; }

  // Electrons per cubic angstrom at any point: the box repeats
  // periodically; the eight surrounding grid values are interpolated
  // trilinearly, corner values <= 1e-10 taking the largest of the eight,
  // and a result <= 0 is returned as 1e-10.
  double Density(double x, double y, double z) const;
  // Density at each of the count points (x, y, z) + k (dx, dy, dz), the
  // point stepped on by adding the step k times, exactly as Density gives
  // each.  The grid cells of all the points are located and fetched first,
  // so the memory serves them together.
  void DensitiesAlong(double x, double y, double z, double dx, double dy, double dz, int count,
                      double* densities) const;

  // Reads the table saved under the name in the density directory: the
  // binary file name + ".big", else name + ".lit" (the form this program
  // writes), else the text file name; after reading the text file with the
  // convert flag set the binary file is written.  Returns 0 on success and
  // 1 when none of the files exists.  A short ".lit" file is passed over
  // (the text file, or a new superposition, replaces it); a short ".big" or
  // text file ends the process with status 300.  A table with fewer than
  // two grid points or a non-positive side along an axis ends the process
  // with status 303.
  int ReadTable3D(const std::string& name, int convert);
  // Writes the binary form to path + ".lit", put in place whole; status 301
  // when it cannot.
  void SaveBinTable3D(const std::string& path) const;
  // Writes the text form to the file name, put in place whole; status 301
  // when it cannot.
  void SaveASCIITable3D(const std::string& name) const;

  // Reads the grid of the other table from now on, without copying it: the
  // crystals of parallel ions share one grid, which none of them writes.
  void ShareGrid(const EDT& other);

  double Side(int axis) const { return lado_[axis]; }
  int Points(int axis) const { return nPoints_[axis]; }
  bool Empty() const { return values_ == nullptr; }

  // A corner at or below it takes the largest of its cell's eight.
  static constexpr double kSmallest = 1e-10;
  // What the look-ups read: the values, the layout and the box.
  struct Grid {
    const double* values;
    std::size_t strideX, strideY;
    bool smallValues;  // any value at or below kSmallest
    double side[3];
    double inverseSide[3];
    int points[3];
  };

 private:
  // Reads the two free lines and the three side/count pairs; false when the
  // six numbers are not there.
  bool ReadHeader(std::FILE* file);
  void CheckGrid(const std::string& path) const;
  // Both read the header and the values; false when the file holds fewer
  // values than its grid.
  bool ReadBinary(std::FILE* file, const std::string& shownPath);
  bool ReadText(std::FILE* file, const std::string& path);
  // A short table that this program does not make ends the run (status 300).
  [[noreturn]] void RefuseShort(const std::string& path) const;
  void Allocate();
  // What a look-up reads of the table.
  Grid View() const;

  double lado_[3] = {0.0, 0.0, 0.0};
  int nPoints_[3] = {0, 0, 0};
  double inverseSide_[3] = {0.0, 0.0, 0.0};  // 1 / lado_, set with the grid
  // The values live in memory of their own, on huge pages where the system
  // grants them: the look-ups along a flight jump across the whole table,
  // and with small pages most of them would also miss the address cache.
  // Each grid point c = (i, j, k) has two slots: 2c holds its value and
  // 2c + 1 that of the point c + Nz, its neighbour (i, j + 1, k) (for
  // j = Ny - 1 the first of the next plane, which no look-up reads).  A
  // look-up thus finds its eight corners in two runs of four values, two
  // cache lines where a plain layout spreads them over four.
  struct FreeValues {
    void operator()(double* values) const;
  };
  std::shared_ptr<double[]> values_;  // released by FreeValues; 2 Nx Ny Nz slots
  // Sets the value of grid point c in both of its slots.
  void Store(std::size_t c, double value) {
    smallValues_ += (value <= kSmallest) - (values_[2 * c] <= kSmallest);
    values_[2 * c] = value;
    if (c >= strideY_) values_[2 * (c - strideY_) + 1] = value;
  }
  // Grid points at or below kSmallest: without them a look-up interpolates
  // its corners as they are.
  std::size_t smallValues_ = 0;
  std::size_t count_ = 0;    // Nx Ny Nz
  std::size_t strideX_ = 0;  // Ny Nz
  std::size_t strideY_ = 0;  // Nz
};

}  // namespace orvane
