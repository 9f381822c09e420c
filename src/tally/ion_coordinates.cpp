#include "tally/ion_coordinates.h"

#include <cstdio>
#include <iostream>

#include "tally/result_names.h"

namespace orvane {

void SaveCoordinates(const Tally3D& tally, int species, double dose,
                     const std::string& outputDirectory) {
  const std::string path = CoordinatesFileName(outputDirectory, species);
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    std::cerr << "# Error: SaveCoordinates, Can't create " << path << "\n";
    return;
  }
  std::fputs("# Format\n", file);
  std::fputs("#    X (A)      Y (A)      Z (A) Stat. Weigth Dist. travel. (A)\n", file);
  double realIons = 0.0;
  for (const Tally3DEntry& entry : tally.Entries) {
    const Vector& p = entry.Position;
    std::fprintf(file, "%10.2lf %10.2lf %10.2lf %12.6lf %10.2lf\n", p.x, p.y, p.z, entry.Weight,
                 entry.PathLength);
    realIons += entry.Weight;
  }
  std::fputs("# Dose (at/cm^2) Real_Ions Virtual_Ions\n", file);
  std::fprintf(file, "# %14g %9.0lf %12d\n", dose, realIons, tally.Entries.NumberOfElements());
  std::fclose(file);
}

}  // namespace orvane
