#include "tally/histo_3d.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "core/fatal.h"
#include "core/replaced_file.h"
#include "tally/result_names.h"

namespace orvane {

namespace {

constexpr double kAngstromToNm = 0.1;
constexpr double kCubicAngstromToCm3 = 1e-24;
constexpr double kFlatAxisRange = Histo3D::kCells * 1.0;  // angstrom, cells of 1 angstrom

// The cell of an offset from the start of an axis; the top of the range
// falls into the last cell, and nothing leaves the grid.
int CellIndex(double offset, double cellSize) {
  const double cell = offset / cellSize;
  if (!(cell >= 1.0)) return 0;
  return cell < Histo3D::kCells ? static_cast<int>(cell) : Histo3D::kCells - 1;
}

void WidenFlatRange(double low, double& high) {
  if (!(high > low)) high = low + kFlatAxisRange;
}

void WriteText(const std::string& path, Histo3D& h, double factor) {
  ReplacedFile replaced(path);
  if (!replaced.OpenOrWarn("SaveHisto3D")) return;
  std::ofstream& file = replaced.Stream();
  const double volume = h.dX() * h.dY() * h.dZ();
  char line[320];
  std::snprintf(line, sizeof line,
                "# Real Ions    = %.1lf\n# Virtual Ions = %d\n# Real Ions outside = %4.2lf %%\n"
                "# Volume cell  = %lg cm^3\n",
                h.Total, h.VirtualIons, 100.0 * h.Outside / h.Total, volume * kCubicAngstromToCm3);
  file << line << "# Format:\n" << "#   X (nm)     Y (nm)     Z (nm) Conc(at/cm^3)\n";
  for (int ix = 0; ix < Histo3D::kCells; ++ix) {
    for (int iy = 0; iy < Histo3D::kCells; ++iy) {
      for (int iz = 0; iz < Histo3D::kCells; ++iz) {
        std::snprintf(line, sizeof line, "%10.2lf %10.2lf %10.2lf %13.4lg\n",
                      ix * h.dX() * kAngstromToNm, (iy * h.dY() + h.Ymin) * kAngstromToNm,
                      (iz * h.dZ() + h.Zmin) * kAngstromToNm, factor * h.At(ix, iy, iz));
        file << line;
      }
      file << "\n";  // a block per line of cells, for the plotting program
    }
    file << "\n";
  }
  replaced.CommitOrWarn("SaveHisto3D");
}

void WriteBinary(const std::string& path, Histo3D& h, double factor) {
  ReplacedFile replaced(path, std::ios::out | std::ios::binary);
  if (!replaced.OpenOrWarn("SaveHisto3D")) return;
  std::ofstream& file = replaced.Stream();
  for (double& cell : h.Cells) cell *= factor;
  const int32_t cells[3] = {Histo3D::kCells, Histo3D::kCells, Histo3D::kCells};
  const double box[6] = {0.0, h.Xmax, h.Ymin, h.Ymax, h.Zmin, h.Zmax};
  file.write(reinterpret_cast<const char*>(cells), sizeof cells);
  file.write(reinterpret_cast<const char*>(box), sizeof box);
  file.write(reinterpret_cast<const char*>(h.Cells.data()),
             static_cast<std::streamsize>(h.Cells.size() * sizeof h.Cells[0]));
  replaced.CommitOrWarn("SaveHisto3D");
}

}  // namespace

Histo3D BuildHisto3D(const Tally3D& tally, const Axes& frame) {
  Histo3D h;
  // The box first, then the cells: two walks over the positions, each taken
  // through the frame afresh (the same arithmetic, so the same values).
  for (const Tally3DEntry& entry : tally.Entries) {
    const Vector p = frame.Transform(entry.Position);
    h.Xmax = std::max(h.Xmax, p.x);
    h.Ymin = std::min(h.Ymin, p.y);
    h.Ymax = std::max(h.Ymax, p.y);
    h.Zmin = std::min(h.Zmin, p.z);
    h.Zmax = std::max(h.Zmax, p.z);
  }
  WidenFlatRange(0.0, h.Xmax);
  WidenFlatRange(h.Ymin, h.Ymax);
  WidenFlatRange(h.Zmin, h.Zmax);
  for (const Tally3DEntry& entry : tally.Entries) {
    const Vector p = frame.Transform(entry.Position);
    h.Total += entry.Weight;
    if (p.x < 0.0) {
      h.Outside += entry.Weight;
    } else {
      h.At(CellIndex(p.x, h.dX()), CellIndex(p.y - h.Ymin, h.dY()),
           CellIndex(p.z - h.Zmin, h.dZ())) += entry.Weight;
    }
  }
  h.VirtualIons = static_cast<int>(tally.Entries.Size());
  return h;
}

void SaveHisto3D(const Tally3D& tally, int species, double dose, double area, bool text,
                 const Axes& frame, const std::string& outputDirectory) {
  Histo3D h = BuildHisto3D(tally, frame);
  if (!(h.Total > 0.0)) Fatal(403, "RealIons <=0\n");
  const double volume = h.dX() * h.dY() * h.dZ();
  // Weight to atoms/cm^3: the fraction of the real ions times the atoms
  // that the dose puts into the window, per cell volume.
  const double factor = dose / h.Total * area / volume * 1e8;
  if (text) WriteText(Histo3DTextFileName(outputDirectory, species), h, factor);
  WriteBinary(Histo3DBinaryFileName(outputDirectory, species), h, factor);
}

}  // namespace orvane
