#include "run/run_summary.h"

#include <cstdarg>
#include <cstdio>
#include <ostream>
#include <vector>

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

SummaryFigure Figure(const char* key, double value, const char* unit) {
  return SummaryFigure{key, value, unit, "", std::nullopt};
}

SummaryFigure Missing(const std::string& key, const char* unit, const std::string& reason) {
  return SummaryFigure{key, std::nullopt, unit, reason, std::nullopt};
}

SummaryLine IonsLine(const char* label, double ions, const ProfileSummary& summary) {
  const std::string key = label;
  return SummaryLine{std::string("Real ions ") + label,
                     Format("%.4g (%.2f %%)", ions, summary.Percent(ions)),
                     {Figure(key.c_str(), ions, "ions"),
                      Figure((key + "_percent").c_str(), summary.Percent(ions), "%")}};
}

const char kNotResolved[] = "not resolved: below one ion per bin";

// A depth in nm; one that lies where one ion in a bin already exceeds the
// level has no value but the reason and the depth as an estimate.
SummaryFigure DepthFigure(const std::string& key, double depth, bool resolved) {
  if (resolved) return Figure(key.c_str(), depth, "nm");
  return SummaryFigure{key, std::nullopt, "nm", kNotResolved, depth};
}

std::string NotResolvedNote(bool resolved) {
  return resolved ? "" : std::string(" (") + kNotResolved + ")";
}

// The depth where the profile falls to the fraction of its peak; a level
// that one ion in a bin already exceeds is marked as not resolved.
SummaryLine FallOffLine(const DepthProfile& profile, const ProfileSummary& summary,
                        const char* label, double fraction) {
  const std::string key = std::string("depth_at_") + label + "_of_peak";
  const std::string title = std::string("Depth at ") + label + " of peak";
  if (!(summary.PeakConcentration > 0.0)) return {title, "-", {Missing(key, "nm", "no profile")}};
  const double depth = FallOffDepth(profile, fraction) * kAngstromToNm;
  const bool resolved = summary.Resolves(fraction * summary.PeakConcentration);
  return {title,
          Format("%.2f nm", depth) + NotResolvedNote(resolved),
          {DepthFigure(key, depth, resolved)}};
}

SummaryLine PeakLine(const ProfileSummary& s) {
  const double depth = s.PeakDepth * kAngstromToNm;
  return {"Peak concentration",
          Format("%.3e at/cm^3 at %.2f nm", s.PeakConcentration, depth),
          {Figure("peak_concentration", s.PeakConcentration, "at/cm^3"),
           Figure("peak_depth", depth, "nm")}};
}

SummaryLine PearsonLine(const ProfileSummary& s) {
  const char* const title = "Pearson IV peak";
  if (!s.PearsonFitted) {
    const char reason[] = "no Pearson IV: no ions or no spread";
    return {title,
            "-",
            {Missing("pearson_peak_concentration", "at/cm^3", reason),
             Missing("pearson_peak_depth", "nm", reason), Missing("pearson_kurtosis", "", reason)}};
  }
  const double depth = s.PearsonPeakDepth * kAngstromToNm;
  std::string text = Format("%.3e at/cm^3 at %.2f nm", s.PearsonPeakConcentration, depth);
  if (s.PearsonKurtosisRaised) {
    text += Format(" (kurtosis %.3f, the smallest of a Pearson IV)", s.PearsonKurtosis);
  }
  return {title,
          text,
          {Figure("pearson_peak_concentration", s.PearsonPeakConcentration, "at/cm^3"),
           Figure("pearson_peak_depth", depth, "nm"),
           Figure("pearson_kurtosis", s.PearsonKurtosis, "")}};
}

// The junctions with the background doping: where the profile falls below
// it for good and, when it starts below it, where it rises above it.
SummaryLine JunctionLine(const ProfileSummary& s) {
  const char* const title = "Junction depth";
  const SummaryFigure background = Figure("background", s.Background, "at/cm^3");
  if (s.JunctionDepths.empty()) {
    const char reason[] = "the profile stays below the background";
    return {title,
            Format("- (the profile stays below the background %.3g at/cm^3)", s.Background),
            {background, Missing("junction_depth", "nm", reason),
             Missing("junction_rise_depth", "nm", reason)}};
  }
  std::string depths;
  for (double depth : s.JunctionDepths) {
    depths += Format("%s%.2f nm", depths.empty() ? "" : " and ", depth * kAngstromToNm);
  }
  const bool resolved = s.Resolves(s.Background);
  SummaryFigure rise =
      Missing("junction_rise_depth", "nm", "the profile starts above the background");
  if (s.JunctionDepths.size() > 1) {
    rise = DepthFigure("junction_rise_depth", s.JunctionDepths.front() * kAngstromToNm, resolved);
  }
  return {title,
          Format("%s at the background %.3g at/cm^3", depths.c_str(), s.Background) +
              NotResolvedNote(resolved),
          {background,
           DepthFigure("junction_depth", s.JunctionDepths.back() * kAngstromToNm, resolved), rise}};
}

// The lines from the moments to the tail.
std::vector<SummaryLine> ShapeLines(const DepthProfile& profile, const ProfileSummary& s) {
  const double mean = s.MeanDepth * kAngstromToNm;
  const double straggle = s.Straggle * kAngstromToNm;
  std::vector<SummaryLine> lines{
      {"Mean depth", Format("%.2f nm", mean), {Figure("mean_depth", mean, "nm")}},
      {"Straggle", Format("%.2f nm", straggle), {Figure("straggle", straggle, "nm")}},
      {"Skewness", Format("%.3f", s.Skewness), {Figure("skewness", s.Skewness, "")}},
      {"Kurtosis", Format("%.3f", s.Kurtosis), {Figure("kurtosis", s.Kurtosis, "")}},
      PeakLine(s),
      PearsonLine(s)};
  if (s.Background > 0.0) lines.push_back(JunctionLine(s));
  lines.push_back(FallOffLine(profile, s, "1e-3", 1e-3));
  lines.push_back(FallOffLine(profile, s, "1e-4", 1e-4));
  return lines;
}

// The implant and what the reader found suspicious.
std::vector<SummaryLine> ImplantLines(const std::string& implant,
                                      const std::vector<std::string>* warnings) {
  std::vector<SummaryLine> lines;
  if (!implant.empty()) lines.push_back({"Implant", implant, {}});
  if (warnings != nullptr) {
    for (const std::string& warning : *warnings) lines.push_back({"Warning", warning, {}});
  }
  return lines;
}

void Append(std::vector<SummaryLine>& lines, const std::vector<SummaryLine>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
}

void WriteLines(std::ostream& out, const std::vector<SummaryLine>& lines) {
  for (const SummaryLine& line : lines) {
    out << Format("#   %-24s= ", line.Label.c_str()) << line.Text << '\n';
  }
  out << '\n';
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
  const std::string direction = s.Miller == 0
                                    ? Format("tilt %g deg, twist %g deg", s.Tha, s.Phi)
                                    : Format("direction (%g, %g, %g)", s.DIR.x, s.DIR.y, s.DIR.z);
  return IonFormula(s, atoms) + Format(" at %g eV, ", s.ENERGY) + direction +
         Format(", dose %g at/cm^2, %d ions", s.Dose, s.NumberOfImplants);
}

std::vector<SummaryLine> GatherSummary(const Hist& histogram, const SummaryContext& context) {
  const ProfileSummary s = SummarizeProfile(histogram, context.Background);
  const double rate = context.WallSeconds > 0.0 ? context.Ions / context.WallSeconds : 0.0;
  std::vector<SummaryLine> lines = ImplantLines(context.Implant, context.Warnings);
  Append(lines,
         {IonsLine("implanted", s.Implanted, s), IonsLine("backscattered", s.Backscattered, s),
          IonsLine("transmitted", s.Transmitted, s)});
  Append(lines, ShapeLines(ProfileOf(histogram), s));
  Append(lines,
         {{"Peak amorphization",
           Format("%.2f %%", context.PeakAmorphization),
           {Figure("peak_amorphization", context.PeakAmorphization, "%")}},
          {"Wall time",
           Format("%.1f s, %.1f ions/s", context.WallSeconds, rate),
           {Figure("wall_time", context.WallSeconds, "s"), Figure("ion_rate", rate, "ions/s")}}});
  return lines;
}

void WriteSummary(std::ostream& out, const Hist& histogram, const SummaryContext& context) {
  out << Format("# Summary of simulation %d, species %d (%s): %d ions\n", context.Simulation,
                context.Species, context.Symbol.c_str(), context.Ions);
  WriteLines(out, GatherSummary(histogram, context));
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

std::vector<SummaryLine> GatherJoinedSummary(const ProfileSummary& s, const DepthProfile& profile,
                                             const JoinedContext& context) {
  double held = 0.0;
  for (double cell : profile.Cells) held += cell;
  const double dose = held * profile.Scale * profile.Width() * kAngstromToCm;
  const double percent = context.Dose > 0.0 ? 100.0 * dose / context.Dose : 0.0;
  std::vector<SummaryLine> lines = ImplantLines(context.Implant, context.Warnings);
  lines.push_back({"Dose in the profile",
                   Format("%.4g at/cm^2 (%.2f %%)", dose, percent),
                   {Figure("dose_in_profile", dose, "at/cm^2"),
                    Figure("dose_in_profile_percent", percent, "%")}});
  Append(lines, ShapeLines(profile, s));
  return lines;
}

void WriteJoinedSummary(std::ostream& out, const ProfileSummary& s, const DepthProfile& profile,
                        const JoinedContext& context) {
  out << Format(
      "# Summary of the whole dose of simulations %d to %d (%s), species %d (%s): "
      "%d ions\n",
      context.FirstPiece, context.LastPiece, context.FileName.c_str(), context.Species,
      context.Symbol.c_str(), context.Ions);
  WriteLines(out, GatherJoinedSummary(s, profile, context));
}

}  // namespace orvane
