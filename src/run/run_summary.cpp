#include "run/run_summary.h"

#include <cstdarg>
#include <cstdio>
#include <ostream>

#include "tally/profile_summary.h"

namespace orvane {

const char kWallTimeLabel[] = "#   Wall time               = ";

namespace {

constexpr double kAngstromToNm = 0.1;

std::string Format(const char* format, ...) {
  char line[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  return line;
}

SummaryFigure Figure(const char* key, double value, const char* unit) {
  return SummaryFigure{key, value, unit, "", std::nullopt};
}

SummaryLine IonsLine(const char* label, double ions, const ProfileSummary& summary) {
  const std::string key = label;
  return SummaryLine{std::string("Real ions ") + label,
                     Format("%.4g (%.2f %%)", ions, summary.Percent(ions)),
                     {Figure(key.c_str(), ions, "ions"),
                      Figure((key + "_percent").c_str(), summary.Percent(ions), "%")}};
}

// The depth where the profile falls to the fraction of its peak; a level
// that one ion in a bin already exceeds is marked as not resolved.
SummaryLine FallOffLine(const Hist& histogram, const ProfileSummary& summary, const char* label,
                        double fraction) {
  const std::string key = std::string("depth_at_") + label + "_of_peak";
  const std::string title = std::string("Depth at ") + label + " of peak";
  if (!(summary.PeakConcentration > 0.0)) {
    return SummaryLine{title, "-", {SummaryFigure{key, std::nullopt, "nm", "no profile", {}}}};
  }
  const double depth = FallOffDepth(histogram, fraction) * kAngstromToNm;
  const bool resolved = fraction * summary.PeakConcentration >= summary.OneIonConcentration;
  if (resolved) return SummaryLine{title, Format("%.2f nm", depth), {Figure(key.c_str(), depth, "nm")}};
  const char reason[] = "not resolved: below one ion per bin";
  return SummaryLine{title, Format("%.2f nm (%s)", depth, reason),
                     {SummaryFigure{key, std::nullopt, "nm", reason, depth}}};
}

}  // namespace

std::string IonFormula(const Simulation& s, AtomList& atoms) {
  std::vector<int> species, counts;
  for (int slot = 0; slot < Simulation::kSpecies && s.Projectiles[slot] != 0; ++slot) {
    const int element = s.Projectiles[slot];
    std::size_t i = 0;
    while (i < species.size() && species[i] != element) ++i;
    if (i == species.size()) {
      species.push_back(element);
      counts.push_back(0);
    }
    ++counts[i];
  }
  if (species.empty()) return atoms.GetAt(s.ImplantedElement).SymbolText();
  std::string formula;
  for (std::size_t i = 0; i < species.size(); ++i) {
    formula += atoms.GetAt(species[i]).SymbolText();
    if (counts[i] > 1) formula += std::to_string(counts[i]);
  }
  return formula;
}

std::string ImplantDescription(const Simulation& s, AtomList& atoms) {
  const std::string direction =
      s.Miller == 0 ? Format("tilt %g deg, twist %g deg", s.Tha, s.Phi)
                    : Format("direction (%g, %g, %g)", s.DIR.x, s.DIR.y, s.DIR.z);
  return IonFormula(s, atoms) + Format(" at %g eV, ", s.ENERGY) + direction +
         Format(", dose %g at/cm^2, %d ions", s.Dose, s.NumberOfImplants);
}

std::vector<SummaryLine> GatherSummary(const Hist& histogram, const SummaryContext& context) {
  const ProfileSummary s = SummarizeProfile(histogram);
  const double rate = context.WallSeconds > 0.0 ? context.Ions / context.WallSeconds : 0.0;
  std::vector<SummaryLine> lines;
  if (!context.Implant.empty()) lines.push_back(SummaryLine{"Implant", context.Implant, {}});
  if (context.Warnings != nullptr) {
    for (const std::string& warning : *context.Warnings) {
      lines.push_back(SummaryLine{"Warning", warning, {}});
    }
  }
  const double mean = s.MeanDepth * kAngstromToNm;
  const double straggle = s.Straggle * kAngstromToNm;
  const double peakDepth = s.PeakDepth * kAngstromToNm;
  lines.insert(
      lines.end(),
      {IonsLine("implanted", s.Implanted, s),
       IonsLine("backscattered", s.Backscattered, s),
       IonsLine("transmitted", s.Transmitted, s),
       {"Mean depth", Format("%.2f nm", mean), {Figure("mean_depth", mean, "nm")}},
       {"Straggle", Format("%.2f nm", straggle), {Figure("straggle", straggle, "nm")}},
       {"Skewness", Format("%.3f", s.Skewness), {Figure("skewness", s.Skewness, "")}},
       {"Kurtosis", Format("%.3f", s.Kurtosis), {Figure("kurtosis", s.Kurtosis, "")}},
       {"Peak concentration", Format("%.3e at/cm^3 at %.2f nm", s.PeakConcentration, peakDepth),
        {Figure("peak_concentration", s.PeakConcentration, "at/cm^3"),
         Figure("peak_depth", peakDepth, "nm")}},
       FallOffLine(histogram, s, "1e-3", 1e-3),
       FallOffLine(histogram, s, "1e-4", 1e-4),
       {"Peak amorphization", Format("%.2f %%", context.PeakAmorphization),
        {Figure("peak_amorphization", context.PeakAmorphization, "%")}},
       {"Wall time", Format("%.1f s, %.1f ions/s", context.WallSeconds, rate),
        {Figure("wall_time", context.WallSeconds, "s"), Figure("ion_rate", rate, "ions/s")}}});
  return lines;
}

void WriteSummary(std::ostream& out, const Hist& histogram, const SummaryContext& context) {
  out << Format("# Summary of simulation %d, species %d (%s): %d ions\n", context.Simulation,
                context.Species, context.Symbol.c_str(), context.Ions);
  for (const SummaryLine& line : GatherSummary(histogram, context)) {
    out << Format("#   %-24s= ", line.Label.c_str()) << line.Text << '\n';
  }
  out << '\n';
}

}  // namespace orvane
