#include "tally/hist.h"

#include <algorithm>
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
  walk_ = Walk{};
}

void Hist::Compute() {
  double deepest = walk_.Deepest, shallowest = walk_.Shallowest, largestE = walk_.LargestE;
  for (uint64_t i = walk_.Walked; i < Entries.Size(); ++i) {
    const HistEntry entry = Entries.At(i);
    if (entry.Depth > deepest) deepest = entry.Depth;
    if (entry.Depth < shallowest) shallowest = entry.Depth;
    if (entry.E > largestE) largestE = entry.E;
  }
  // New extremes move the bin edges: every entry is binned again.
  if (deepest != walk_.Deepest || largestE != walk_.LargestE) walk_ = Walk{};
  walk_.Deepest = deepest;
  walk_.Shallowest = shallowest;
  walk_.LargestE = largestE;
  WalkOn();

  Deepest = deepest;
  Shallowest = shallowest;
  LargestE = largestE;
  RealIons = walk_.RealIons;
  Outside = walk_.Outside;
  std::copy(walk_.Conc, walk_.Conc + kBins + 1, Conc);
  std::copy(walk_.ConcE, walk_.ConcE + kBins + 1, ConcE);
  // The last ion's entries may go on after this call: its weights are
  // counted in a copy.
  IonSpread closed = walk_.Spread;
  closed.CloseIon();
  for (int b = 0; b < kBins; ++b) {
    Err[b] = walk_.Entries[b] > 0 ? closed.Error(b, Conc[b]) : kNoEntriesError;
  }
  Err[kBins] = 0.0;
}

void Hist::WalkOn() {
  for (; walk_.Walked < Entries.Size(); ++walk_.Walked) {
    const HistEntry entry = Entries.At(walk_.Walked);
    walk_.Spread.Next(entry.Ion);
    if (entry.Depth >= 0.0) {
      const int b = BinOf(entry.Depth, walk_.Deepest);
      walk_.Conc[b] += entry.Weight;
      walk_.ConcE[BinOf(entry.E, walk_.LargestE)] += entry.Weight;
      ++walk_.Entries[b];
      walk_.Spread.Add(b, entry.Weight);
    } else {
      walk_.Outside += entry.Weight;  // backscattered, above the surface
    }
    walk_.RealIons += entry.Weight;
  }
}

std::unique_ptr<Hist> Hist::ProfilesOnly() const {
  auto copy = std::make_unique<Hist>();
  copy->Dose = Dose;
  copy->RealIons = RealIons;
  copy->LargestE = LargestE;
  copy->RareEvent = RareEvent;
  copy->n = n;
  std::copy(SplitDepth, SplitDepth + kMaxSplitDepths, copy->SplitDepth);
  std::copy(Conc, Conc + kBins + 1, copy->Conc);
  std::copy(ConcE, ConcE + kBins + 1, copy->ConcE);
  std::copy(Err, Err + kBins + 1, copy->Err);
  copy->Deepest = Deepest;
  copy->Shallowest = Shallowest;
  copy->Outside = Outside;
  copy->entriesElsewhere_ = static_cast<uint64_t>(VirtualIons());
  return copy;
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
