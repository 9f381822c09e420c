#include "run/run_summary.h"

#include <cstdarg>
#include <cstdio>
#include <ostream>

#include "tally/pearson.h"
#include "tally/profile_summary.h"

namespace orvane {

const char kWallTimeLabel[] = "#   Wall time               = ";

namespace {

constexpr double kAngstromToNm = 0.1;
constexpr double kAngstromToCm = 1e-8;

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

const char kNotResolved[] = " (not resolved: below one ion per bin)";

// The depth where the profile falls to the fraction of its peak; a level
// that one ion in a bin already exceeds is marked as not resolved.
std::string FallOffLine(const DepthProfile& profile, const ProfileSummary& summary,
                        const char* label, double fraction) {
  if (!(summary.PeakConcentration > 0.0)) return Format("#   Depth at %s of peak   = -\n", label);
  const double depth = FallOffDepth(profile, fraction) * kAngstromToNm;
  const bool resolved = summary.Resolves(fraction * summary.PeakConcentration);
  return Format("#   Depth at %s of peak   = %.2f nm%s\n", label, depth,
                resolved ? "" : kNotResolved);
}

std::string PeakLines(const ProfileSummary& s) {
  std::string lines = Format("#   Peak concentration      = %.3e at/cm^3 at %.2f nm\n",
                             s.PeakConcentration, s.PeakDepth * kAngstromToNm);
  if (!s.PearsonFitted) return lines + "#   Pearson IV peak         = -\n";
  lines += Format("#   Pearson IV peak         = %.3e at/cm^3 at %.2f nm",
                  s.PearsonPeakConcentration, s.PearsonPeakDepth * kAngstromToNm);
  if (s.PearsonKurtosisRaised) {
    lines += Format(" (kurtosis %.3f, the smallest of a Pearson IV)", s.PearsonKurtosis);
  }
  lines += "\n";
  return lines;
}

// The junctions with the background doping, when one is given.
std::string JunctionLine(const ProfileSummary& s) {
  if (!(s.Background > 0.0)) return "";
  std::string depths;
  for (double depth : s.JunctionDepths) {
    depths += Format("%s%.2f nm", depths.empty() ? "" : " and ", depth * kAngstromToNm);
  }
  if (depths.empty()) {
    return Format("#   Junction depth          = - (the profile stays below the background "
                  "%.3g at/cm^3)\n", s.Background);
  }
  return Format("#   Junction depth          = %s at the background %.3g at/cm^3%s\n",
                depths.c_str(), s.Background, s.Resolves(s.Background) ? "" : kNotResolved);
}

// The lines from the moments to the tail.
std::string ShapeLines(const DepthProfile& profile, const ProfileSummary& s) {
  return Format("#   Mean depth              = %.2f nm\n", s.MeanDepth * kAngstromToNm) +
         Format("#   Straggle                = %.2f nm\n", s.Straggle * kAngstromToNm) +
         Format("#   Skewness                = %.3f\n", s.Skewness) +
         Format("#   Kurtosis                = %.3f\n", s.Kurtosis) + PeakLines(s) +
         JunctionLine(s) + FallOffLine(profile, s, "1e-3", 1e-3) +
         FallOffLine(profile, s, "1e-4", 1e-4);
}

void WriteWarnings(std::ostream& out, const std::vector<std::string>* warnings) {
  if (warnings == nullptr) return;
  for (const std::string& warning : *warnings) {
    out << "#   Warning                 = " << warning << '\n';
  }
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
  const ProfileSummary s = SummarizeProfile(histogram, context.Background);
  const double rate = context.WallSeconds > 0.0 ? context.Ions / context.WallSeconds : 0.0;
  out << Format("# Summary of simulation %d, species %d (%s): %d ions\n", context.Simulation,
                context.Species, context.Symbol.c_str(), context.Ions);
  if (!context.Implant.empty()) out << "#   Implant                 = " << context.Implant << '\n';
  WriteWarnings(out, context.Warnings);
  out << IonsLine("implanted", s.Implanted, s) << IonsLine("backscattered", s.Backscattered, s)
      << IonsLine("transmitted", s.Transmitted, s) << ShapeLines(ProfileOf(histogram), s)
      << Format("#   Peak amorphization      = %.2f %%\n", context.PeakAmorphization)
      << kWallTimeLabel << Format("%.1f s, %.1f ions/s\n", context.WallSeconds, rate) << '\n';
}

ProfileSummary SummarizeJoined(const DepthProfile& profile, double oneIonConcentration,
                               double background) {
  ProfileSummary s;
  const ProfileMoments m = MomentsOfCells(profile.Cells.data(), profile.Count(), profile.Width());
  s.MeanDepth = m.MeanRange;
  s.Straggle = m.Straggle;
  if (m.Straggle > 0.0) {
    s.Skewness = m.Skewness;
    s.Kurtosis = m.Kurtosis;
  }
  s.OneIonConcentration = oneIonConcentration;
  SummarizeShape(profile, background, s);
  return s;
}

void WriteJoinedSummary(std::ostream& out, const ProfileSummary& s, const DepthProfile& profile,
                        const JoinedContext& context) {
  double held = 0.0;
  for (double cell : profile.Cells) held += cell;
  const double dose = held * profile.Scale * profile.Width() * kAngstromToCm;
  out << Format("# Summary of the whole dose of simulations %d to %d (%s), species %d (%s): "
                "%d ions\n",
                context.FirstPiece, context.LastPiece, context.FileName.c_str(), context.Species,
                context.Symbol.c_str(), context.Ions);
  if (!context.Implant.empty()) out << "#   Implant                 = " << context.Implant << '\n';
  WriteWarnings(out, context.Warnings);
  out << Format("#   Dose in the profile     = %.4g at/cm^2 (%.2f %%)\n", dose,
                context.Dose > 0.0 ? 100.0 * dose / context.Dose : 0.0)
      << ShapeLines(profile, s) << '\n';
}

}  // namespace orvane
