// The 3-D concentration histogram of a species: the final ion positions,
// taken once more through the implant frame, counted in 50 x 50 x 50 cells
// over the box that holds them (and the origin), written as text and as a
// binary file.
#pragma once

#include <string>
#include <vector>

#include "core/axes.h"
#include "tally/tally_3d.h"

namespace orvane {

struct Histo3D {
  static constexpr int kCells = 50;

  // The box, angstrom: depth from 0 to Xmax, lateral from min to max, each
  // range holding 0.  An axis on which every ion lies at one value gets a
  // range of 50 cells of 1 angstrom from that value.
  double Xmax = 0.0, Ymin = 0.0, Ymax = 0.0, Zmin = 0.0, Zmax = 0.0;
  double Total = 0.0;    // weight of every ion
  double Outside = 0.0;  // weight of the ions above the surface (X < 0)
  int VirtualIons = 0;
  std::vector<double> Cells = std::vector<double>(kCells * kCells * kCells, 0.0);  // weight

  double dX() const { return Xmax / kCells; }
  double dY() const { return (Ymax - Ymin) / kCells; }
  double dZ() const { return (Zmax - Zmin) / kCells; }
  // Cell ix, iy, iz; ix slowest, iz fastest.
  double& At(int ix, int iy, int iz) { return Cells[(ix * kCells + iy) * kCells + iz]; }
};

// Counts the ions of the tally: an ion at the top of a range is counted in
// the last cell of that axis.
Histo3D BuildHisto3D(const Tally3D& tally, const Axes& frame);

// Writes "<dir>/Ion.NN.histo3D.bin" and, with text set, "<dir>/Ion.NN.histo3D.dat",
// the concentration (atoms/cm^3) of the dose over the implant window of the
// area (square angstrom).  A tally without weight ends the process with
// status 403; files that cannot be created are reported on standard error.
void SaveHisto3D(const Tally3D& tally, int species, double dose, double area, bool text,
                 const Axes& frame, const std::string& outputDirectory);

}  // namespace orvane
