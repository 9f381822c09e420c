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

std::string IonsLine(const char* label, double ions, const ProfileSummary& summary) {
  return Format("#   Real ions %-13s = %.4g (%.2f %%)\n", label, ions, summary.Percent(ions));
}

// The depth where the profile falls to the fraction of its peak; a level
// that one ion in a bin already exceeds is marked as not resolved.
std::string FallOffLine(const Hist& histogram, const ProfileSummary& summary, const char* label,
                        double fraction) {
  if (!(summary.PeakConcentration > 0.0)) return Format("#   Depth at %s of peak   = -\n", label);
  const double depth = FallOffDepth(histogram, fraction) * kAngstromToNm;
  const bool resolved = fraction * summary.PeakConcentration >= summary.OneIonConcentration;
  return Format("#   Depth at %s of peak   = %.2f nm%s\n", label, depth,
                resolved ? "" : " (not resolved: below one ion per bin)");
}

// The ion's formula: each element once, in the order of the list, with its
// count when above one.
std::string Formula(const Simulation& s, AtomList& atoms) {
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

}  // namespace

std::string ImplantDescription(const Simulation& s, AtomList& atoms) {
  const std::string direction =
      s.Miller == 0 ? Format("tilt %g deg, twist %g deg", s.Tha, s.Phi)
                    : Format("direction (%g, %g, %g)", s.DIR.x, s.DIR.y, s.DIR.z);
  return Formula(s, atoms) + Format(" at %g eV, ", s.ENERGY) + direction +
         Format(", dose %g at/cm^2, %d ions", s.Dose, s.NumberOfImplants);
}

void WriteSummary(std::ostream& out, const Hist& histogram, const SummaryContext& context) {
  const ProfileSummary s = SummarizeProfile(histogram);
  const double rate = context.WallSeconds > 0.0 ? context.Ions / context.WallSeconds : 0.0;
  out << Format("# Summary of simulation %d, species %d (%s): %d ions\n", context.Simulation,
                context.Species, context.Symbol.c_str(), context.Ions);
  if (!context.Implant.empty()) out << "#   Implant                 = " << context.Implant << '\n';
  if (context.Warnings != nullptr) {
    for (const std::string& warning : *context.Warnings) {
      out << "#   Warning                 = " << warning << '\n';
    }
  }
  out << IonsLine("implanted", s.Implanted, s) << IonsLine("backscattered", s.Backscattered, s)
      << IonsLine("transmitted", s.Transmitted, s)
      << Format("#   Mean depth              = %.2f nm\n", s.MeanDepth * kAngstromToNm)
      << Format("#   Straggle                = %.2f nm\n", s.Straggle * kAngstromToNm)
      << Format("#   Skewness                = %.3f\n", s.Skewness)
      << Format("#   Kurtosis                = %.3f\n", s.Kurtosis)
      << Format("#   Peak concentration      = %.3e at/cm^3 at %.2f nm\n", s.PeakConcentration,
                s.PeakDepth * kAngstromToNm)
      << FallOffLine(histogram, s, "1e-3", 1e-3) << FallOffLine(histogram, s, "1e-4", 1e-4)
      << Format("#   Peak amorphization      = %.2f %%\n", context.PeakAmorphization)
      << kWallTimeLabel << Format("%.1f s, %.1f ions/s\n", context.WallSeconds, rate) << '\n';
}

}  // namespace orvane
