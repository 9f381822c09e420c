#include "tally/hist.h"

#include <cmath>
#include <ostream>
#include <sstream>

#include "core/fatal.h"
#include "core/plot_pipe.h"

namespace orvane {

namespace {

constexpr double kLog2Of10 = 3.321928095;
constexpr double kNoEntriesError = 1e10;

// The bin of a value among bins of 1 % of the largest value, the largest
// itself in the last bin.  A largest value of 0 (all values 0) and values
// below 0 fall into the first bin, so that no index leaves the bins.
int BinOf(double value, double largest) {
  if (!(largest > 0.0)) return 0;
  const double bin = std::floor(value / largest * Hist::kBins);
  if (!(bin >= 0.0)) return 0;
  return bin < Hist::kBins ? static_cast<int>(bin) : Hist::kBins;
}

// The statistical error of the depth bins from the ions: the sum over the
// ions of the square of each ion's weight in a bin, from entries grouped by
// ion, and the number of ions.
class IonSpread {
 public:
  // The next entry, of the given ion.
  void Next(uint32_t ion) {
    if (ions_ > 0 && ion == ion_) return;
    CloseIon();
    ion_ = ion;
    ++ions_;
  }

  // Weight of the current ion in a bin.
  void Add(int bin, double weight) {
    if (!touched_[bin]) {
      touched_[bin] = true;
      bins_[touchedCount_++] = bin;
    }
    ionWeight_[bin] += weight;
  }

  // The error of the bin's sum of weights, once every entry has been seen:
  // the ions' spread about their mean times the square root of their
  // number; one ion alone stands for its own weight.
  double Error(int bin, double sum) {
    CloseIon();
    if (ions_ < 2) return std::sqrt(squares_[bin]);
    const double n = ions_;
    const double variance = (squares_[bin] - sum * sum / n) * n / (n - 1.0);
    return variance > 0.0 ? std::sqrt(variance) : 0.0;
  }

 private:
  void CloseIon() {
    for (int i = 0; i < touchedCount_; ++i) {
      const int bin = bins_[i];
      squares_[bin] += ionWeight_[bin] * ionWeight_[bin];
      ionWeight_[bin] = 0.0;
      touched_[bin] = false;
    }
    touchedCount_ = 0;
  }

  double squares_[Hist::kBins + 1] = {};
  double ionWeight_[Hist::kBins + 1] = {};
  bool touched_[Hist::kBins + 1] = {};
  int bins_[Hist::kBins + 1] = {};
  int touchedCount_ = 0;
  uint32_t ion_ = 0;
  int ions_ = 0;
};

}  // namespace

void Hist::Initialize(int rareEvent, double maxDepth, double dose) {
  Dose = dose;
  RareEvent = rareEvent;
  if (rareEvent < 0) Fatal(402, "# Error: Hist::Initialize, RareEvent < 0\n");
  const double depths = std::trunc(rareEvent * kLog2Of10);
  if (depths > kMaxSplitDepths) {
    Fatal(402, "# Error: Hist::Initialize, Max number of orders of magnitude reached\n");
  }
  n = static_cast<int>(depths);
  Deepest = 1.0;
  Shallowest = 0.0;
  for (int i = 0; i < n; ++i) SplitDepth[i] = maxDepth * (i + 1) / n;
  for (int b = 0; b <= kBins; ++b) Conc[b] = ConcE[b] = 0.0;
  Entries.Clear();
}

void Hist::Compute() {
  for (int b = 0; b <= kBins; ++b) Conc[b] = ConcE[b] = Err[b] = 0.0;
  Outside = 0.0;
  Deepest = 0.0;
  Shallowest = 1e10;
  LargestE = 0.0;
  for (const HistEntry& entry : Entries) {
    if (entry.Depth > Deepest) Deepest = entry.Depth;
    if (entry.Depth < Shallowest) Shallowest = entry.Depth;
    if (entry.E > LargestE) LargestE = entry.E;
  }
  RealIons = 0.0;
  int entries[kBins + 1] = {};
  IonSpread spread;
  for (const HistEntry& entry : Entries) {
    spread.Next(entry.Ion);
    if (entry.Depth >= 0.0) {
      const int b = BinOf(entry.Depth, Deepest);
      Conc[b] += entry.Weight;
      ConcE[BinOf(entry.E, LargestE)] += entry.Weight;
      ++entries[b];
      spread.Add(b, entry.Weight);
    } else {
      Outside += entry.Weight;  // backscattered, above the surface
    }
    RealIons += entry.Weight;
  }
  for (int b = 0; b < kBins; ++b) {
    Err[b] = entries[b] > 0 ? spread.Error(b, Conc[b]) : kNoEntriesError;
  }
}

void Hist::UpdateSplitDepths() {
  for (int i = 0; i < n; ++i) {
    const double passed = (1.0 - std::pow(0.5, i + 1)) * RealIons;
    double sum = 0.0;
    int j = 0;
    for (; j < kBins; ++j) {
      sum += ConcE[j];
      if (sum > passed) break;
    }
    SplitDepth[i] = (j - 1) * Deepest / kBins;
  }
}

void Hist::ShowSplitDepths(int species, uint32_t ions, const std::string& outputDirectory,
                           std::FILE*& pipe) const {
  char number[16];
  std::snprintf(number, sizeof number, "%02d", species);
  const std::string path = outputDirectory + "/RE_Depths." + number;
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (file == nullptr) Fatal(301, "# ERROR, I can not write in " + path + "\n");
  std::fprintf(file, "%u\t", ions);
  for (int i = 0; i < n; ++i) std::fprintf(file, "%g\t", SplitDepth[i] * 0.1);
  std::fputs("\n", file);
  std::fclose(file);
  SendPlot(pipe, SplitDepthPlot(path));
}

std::string Hist::SplitDepthPlot(const std::string& path) const {
  std::string commands = "set title \"Split. zones = " + std::to_string(n + 1) + "\"\n";
  commands += "set xlabel \"Times\"\nset ylabel \"Depth (nm)\"\nset nolog y\n";
  commands += "set style data lines\n";  // the current spelling of "set data style lines"
  // The ion counts start at 0, and a first line alone still spans a range.
  commands += "set xrange [0:*]\n";
  commands += "plot " + GnuplotQuote(path) + " notitle";
  for (int i = 1; i < n; ++i) {
    commands += "," + GnuplotQuote(path) + " u 1:" + std::to_string(i + 2) + " notitle";
  }
  return commands + "\n";
}

void Hist::ShowIons(int species, std::ostream& out) const {
  // General notation with four digits, like the statistics it follows,
  // whatever the stream was left with.
  std::ostringstream line;
  line.precision(4);
  line << "\nProjectile " << species << ",\tReal ions = " << RealIons
       << ",\tVirtual ions = " << VirtualIons() << "\n";
  out << line.str();
}

}  // namespace orvane
