#include "tally/profile_files.h"

#include <fstream>

#include "core/fatal.h"
#include "core/replaced_file.h"
#include "tally/result_names.h"

namespace orvane {

namespace {

constexpr double kAngstromToNm = 0.1;
constexpr double kAngstromToCm = 1e-8;

// Atoms/cm^3 per unit weight in a bin of 1 % of the extent (angstrom).
double ScaleOver(const Hist& histogram, double extent) {
  if (!(histogram.RealIons > 0.0) || !(extent > 0.0)) return 0.0;
  return 100.0 * histogram.Dose / histogram.RealIons / kAngstromToCm / extent;
}

// The profiles are replaced whole: the plotting program may be reading the
// previous one.
std::ofstream& Create(ReplacedFile& replaced, const char* operation) {
  std::ofstream& file = replaced.Stream();
  if (!file) {
    Fatal(301, std::string("# Error: ") + operation + ", Can't create " + replaced.Path() + "\n");
  }
  return file;
}

// A profile that cannot be written whole (a full disk) ends the run.
void PutInPlace(ReplacedFile& replaced, const char* operation) {
  if (!replaced.Commit()) {
    Fatal(301, std::string("# Error: ") + operation + ", Can't write " + replaced.Path() + "\n");
  }
}

}  // namespace

double ConcentrationScale(const Hist& histogram) { return ScaleOver(histogram, histogram.Deepest); }

double RareEventScale(const Hist& histogram) { return ScaleOver(histogram, histogram.LargestE); }

void SaveHisto(const Hist& histogram, int species, const std::string& outputDirectory,
               const std::string& name, bool fullDose, uint32_t k, int ions) {
  double scale = ConcentrationScale(histogram);
  // The dose implanted so far; a simulation without ions has implanted none.
  if (!fullDose && ions > 0) scale *= static_cast<double>(k) / ions;
  const std::string path = ProfileFileName(outputDirectory, name, species);
  ReplacedFile replaced(path);
  std::ofstream& file = Create(replaced, "SaveHisto");
  file << "# " << k << " " << histogram.RealIons << " " << histogram.VirtualIons() << " "
       << scale * histogram.Outside << "\n";
  for (int i = 0; i < Hist::kBins; ++i) {
    const double conc = histogram.Conc[i];
    const double error = histogram.Err[i];
    file << i * histogram.Deepest / Hist::kBins * kAngstromToNm << " " << scale * conc << " "
         << (conc - error) * scale << " " << (error + conc) * scale << "\n";
  }
  PutInPlace(replaced, "SaveHisto");
}

void SaveHistoR(const Hist& histogram, int species, const std::string& outputDirectory,
                const std::string& name) {
  const double scale = RareEventScale(histogram);
  const std::string path = RareEventFileName(outputDirectory, name, species);
  ReplacedFile replaced(path);
  std::ofstream& file = Create(replaced, "SaveHistoR");
  file << "#  Real ions = NumberOfImplants*EffectiveWeigth, Virtual ions\n";
  file << "# " << histogram.RealIons << " " << histogram.VirtualIons() << "\n";
  file << "#  Distance_travelled(nm), Conc. (at/cm^3\n";
  for (int i = 0; i < Hist::kBins; ++i) {
    file << i * histogram.LargestE / Hist::kBins * kAngstromToNm << " "
         << scale * histogram.ConcE[i] << "\n";
  }
  PutInPlace(replaced, "SaveHistoR");
}

}  // namespace orvane
