#include "tally/ion_coordinates.h"

#include <cstdio>

#include "core/replaced_file.h"
#include "tally/result_names.h"

namespace orvane {

void SaveCoordinates(const Tally3D& tally, int species, double dose,
                     const std::string& outputDirectory) {
  const std::string path = CoordinatesFileName(outputDirectory, species);
  ReplacedFile replaced(path);
  if (!replaced.OpenOrWarn("SaveCoordinates")) return;
  std::ofstream& file = replaced.Stream();
  file << "# Format\n";
  file << "#    X (A)      Y (A)      Z (A) Stat. Weigth Dist. travel. (A)\n";
  double realIons = 0.0;
  char line[160];
  for (const Tally3DEntry& entry : tally.Entries) {
    const Vector& p = entry.Position;
    std::snprintf(line, sizeof line, "%10.2lf %10.2lf %10.2lf %12.6lf %10.2lf\n", p.x, p.y, p.z,
                  entry.Weight, entry.PathLength);
    file << line;
    realIons += entry.Weight;
  }
  file << "# Dose (at/cm^2) Real_Ions Virtual_Ions\n";
  std::snprintf(line, sizeof line, "# %14g %9.0lf %12d\n", dose, realIons,
                static_cast<int>(tally.Entries.Size()));
  file << line;
  replaced.CommitOrWarn("SaveCoordinates");
}

}  // namespace orvane
