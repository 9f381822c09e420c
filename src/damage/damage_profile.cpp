#include "damage/damage_profile.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "core/fatal.h"
#include "core/replaced_file.h"
#include "core/text_value.h"

namespace orvane {

namespace {

constexpr double kElementaryCharge = 1.602e-19;  // J per eV
constexpr double kBoltzmann = 1.38e-23;          // J per K
constexpr double kAttemptTime = 1.62e-13;        // s: the dose-rate scale of the survival law
constexpr double kAtomicDensity = 5e22;          // atoms per cm^3
constexpr double kCmPerAngstrom = 1e-8;

[[noreturn]] void BadDamageFile(const std::string& name, const std::string& where) {
  Fatal(DamageProfile::kBadDamageFileStatus,
        "# Error: DamageProfile::StartSimulation, Previous damage file (" + name +
            ") ends early or holds no numbers at " + where + "\n");
}

// A single-precision value in the stream's default six digits when they read
// back as the same value, otherwise in the nine digits that always do, so
// that a saved profile reads back exactly.
std::string FloatText(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  if (std::strtof(text, nullptr) != value) std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

}  // namespace

void DamageProfile::StartSimulation(const DamageSettings& settings,
                                    const std::string& outputDirectory) {
  if (AnchoCajas > 0.0) Damage.SetRange(0.0f, static_cast<float>(100.0 * AnchoCajas));
  SurvivingFraction = settings.RecombinationFactor;
  KinchinPeaseConstant = settings.KinchinPeaseConstant;
  AmorphizationDensity = settings.AmorphizationDensity;
  CutOffEnergy = settings.CutOffEnergy;
  Mode = settings.Mode;
  DisplacementEnergy = settings.DisplacementEnergy;
  DoseRate = settings.DoseRate;
  ImplantationArea = settings.ImplantationArea;
  OutputDirectory = outputDirectory;
  const std::string name = WithoutFinalBlank(settings.PreviousDamageFile);
  if (!name.empty()) ReadPreviousDamage(name);
}

// The file is what SaveAmorph writes: "# Start Stop Width", then per cell
// the depth, the defect density and the percentage of amorphization.
void DamageProfile::ReadPreviousDamage(const std::string& name) {
  std::ifstream is(name);
  if (!is) Fatal(300, "# I can't open (" + name + ")\n");
  std::cout << "# Reading (" << name << ")\n";
  char mark = '\0';
  VarHist read;
  is >> mark >> read.Start >> read.Stop >> read.Width;
  if (!is || mark != '#') BadDamageFile(name, "its first line");
  if (!(read.Width > 0.0f)) BadDamageFile(name, "its cell width");
  for (int i = 0; i < VarHist::kCells; ++i) {
    double depth = 0.0;
    double percentage = 0.0;
    is >> depth >> read.Cells[i] >> percentage;
    if (!is) BadDamageFile(name, "cell " + std::to_string(i) + " of 100");
  }
  Damage = read;
}

int DamageProfile::CellOf(double depth) {
  const float x = static_cast<float>(depth);
  const float cells = x / Damage.Width;
  // No cell holds a negative depth, nor one that no count of cells reaches.
  if (!(x >= 0.0f) || !(cells < VarHist::kFarthestCell)) return -1;
  int64_t cell = static_cast<int64_t>(cells);
  if (cell >= VarHist::kCells) {
    Damage.Rebin(Damage.Start, Damage.Width * static_cast<float>(cell + 2));
    cell = static_cast<int64_t>(x / Damage.Width);
    // Rounding can leave a depth at the very edge of the new range.
    if (cell >= VarHist::kCells) cell = VarHist::kCells - 1;
  }
  return static_cast<int>(cell);
}

double DamageProfile::AmorphousFraction(int cell) const {
  const float density = Damage.Cells[cell];
  if (density >= static_cast<float>(AmorphizationDensity)) return 1.0;
  return density / AmorphizationDensity;
}

void DamageProfile::AddDamage(double depth, double energy, char kind, double weight,
                              double temperature) {
  const int cell = CellOf(depth);
  if (cell >= 0) {
    const double volume = ImplantationArea * Damage.Width;
    const double effective = EffectiveEnergy(energy, kind, weight, volume);
    const double displaced = KinchinPeaseConstant * effective / (2.0 * DisplacementEnergy);
    const double amorphous = AmorphousFraction(cell);
    SurvivingFraction = SurvivalFraction(amorphous, temperature);
    const double retained = displaced * SurvivingFraction * (1.0 - amorphous);
    if (Sums != nullptr) {
      Sums->Displacements += displaced;
      Sums->Retained += retained;
      if (Increments != nullptr) Increments->Add(depth, retained);
    } else {
      Displacements += displaced;
      Retained += retained;
      AddRetained(cell, retained);
    }
  }
  if (Sums != nullptr) {
    Sums->Stop = Damage.Stop;
    ++Sums->Count;
    return;
  }
  CountDeposits(1);
}

void DamageProfile::CountDeposits(uint32_t deposits) {
  // The first multiple of the interval from Count on, 0 excepted.
  const int64_t save =
      std::max<int64_t>(1, (Count + kSaveInterval - 1) / kSaveInterval) * kSaveInterval;
  if (deposits > 0 && save < Count + deposits) SaveAmorph(OutputDirectory);
  Count += deposits;
}

void DamageProfile::AddSums(const DepositSums& sums) {
  Displacements += sums.Displacements;
  Retained += sums.Retained;
  if (sums.Stop > Damage.Stop) Damage.Rebin(Damage.Start, sums.Stop);
  // The saves that these deposits would make all save the same profile.
  CountDeposits(sums.Count);
}

DamageIncrements DamageProfile::FreshIncrements() const {
  DamageIncrements increments;
  increments.Reset(Damage.Width, ImplantationArea * Damage.Width * AmorphizationDensity);
  return increments;
}

void DamageProfile::AddIncrements(const DamageIncrements& increments, float stop) {
  if (stop > Damage.Stop) Damage.Rebin(Damage.Start, stop);
  const bool sameCells = increments.Level == 0 && increments.BaseWidth == Damage.Width;
  const double width = increments.CellWidth();
  for (int c = 0; c < DamageIncrements::kCells; ++c) {
    if (increments.Counts[c] == 0) continue;
    const double retained = increments.Unit * static_cast<double>(increments.Counts[c]);
    if (sameCells) {
      AddRetained(c, retained);
    } else {
      SpreadRetained(c * width, (c + 1) * width, retained);
    }
  }
}

// Cell i holds the depths [i Width, (i + 1) Width), as CellOf finds them.
void DamageProfile::SpreadRetained(double low, double high, double retained) {
  const double width = Damage.Width;
  const double end = std::min(high, width * VarHist::kCells);
  // Rounding may leave a span of the last deposits just beyond the cells.
  if (!(end > low)) {
    AddRetained(VarHist::kCells - 1, retained);
    return;
  }
  const int first = std::clamp(static_cast<int>(low / width), 0, VarHist::kCells - 1);
  for (int cell = first; cell < VarHist::kCells; ++cell) {
    const double overlap = std::min(end, (cell + 1) * width) - std::max(low, cell * width);
    if (overlap > 0.0) AddRetained(cell, retained * overlap / (end - low));
    if ((cell + 1) * width >= end) break;
  }
}

void DamageProfile::AddRetained(int cell, double retained) {
  const double volume = ImplantationArea * Damage.Width;
  float& density = Damage.Cells[cell];
  density += static_cast<float>(retained / volume);
  if (density > AmorphizationDensity) density = static_cast<float>(AmorphizationDensity);
}

// At level 1 no recoil is followed, so a deposit is bounded by what the
// cell can hold; otherwise an atom set in motion leaves one displacement
// energy per unit weight and an atom left on its site all it received.
double DamageProfile::EffectiveEnergy(double energy, char kind, double weight,
                                      double cellVolume) const {
  if (Mode == 1) return std::fmin(energy, CutOffEnergy * cellVolume);
  if (kind == 'B') return weight * DisplacementEnergy;
  return energy;
}

// Dynamic annealing: the surviving fraction grows with the dose rate and
// with the damage already present, and falls with the temperature; it is
// limited to 1 (an undefined fraction, at 0 K, counts as full survival).
bool DamageProfile::RetainsDamage(double temperature) const {
  constexpr double kNegligibleSurvival = 1e-6;
  return SurvivalFraction(1.0, temperature) >= kNegligibleSurvival;
}

double DamageProfile::SurvivalFraction(double amorphousFraction, double temperature) const {
  const double activation = (CteB + CteC * amorphousFraction) * kElementaryCharge;
  const double fraction =
      std::exp(activation / (temperature * kBoltzmann)) * kAttemptTime * DoseRate * CteD;
  return fraction < 1.0 ? fraction : 1.0;
}

void DamageProfile::SaveAmorph(const std::string& outputDirectory) const {
  const std::string path = outputDirectory + "/Amorph1D.dat";
  if (LastSaved && LastSaved->Path == path &&
      std::memcmp(&LastSaved->Damage, &Damage, sizeof Damage) == 0 &&
      LastSaved->AmorphizationDensity == AmorphizationDensity && access(path.c_str(), F_OK) == 0) {
    return;
  }
  ReplacedFile file(path);
  std::ofstream& os = file.Stream();
  if (!os) Fatal(301, "# I can't write in " + path + "\n");
  os << "# " << FloatText(Damage.Start) << " " << FloatText(Damage.Stop) << " "
     << FloatText(Damage.Width) << "\n";
  for (int i = 0; i < VarHist::kCells; ++i) {
    os << i * Damage.Width / 10 << " " << FloatText(Damage.Cells[i]) << " "
       << Damage.Cells[i] * 100 / AmorphizationDensity << "\n";
  }
  os << "# Distance(nm) defects/A^3  percentage_of_amorphization\n";
  if (!file.Commit()) Fatal(301, "# I can't write in " + path + "\n");
  LastSaved = SavedProfile{path, Damage, AmorphizationDensity};
}

double DamageProfile::FoldCrossSection(double sigma0, double pathSum, uint32_t ion) {
  // An ion whose particles travelled no path measured no cross-section.
  const double ionSigma =
      pathSum > 0.0 ? Displacements / (pathSum * kAtomicDensity * kCmPerAngstrom) : 0.0;
  Displacements = 0.0;
  return (ionSigma + (ion - 1.0) * sigma0) / ion;
}

void DamageProfile::AppendRetained(AppendingFile& file) {
  char line[64];
  std::snprintf(line, sizeof line, "%lf\n", Retained);
  file.Write(line);
  Retained = 0.0;
}

double DamageProfile::PeakAmorphization() const {
  double peak = 0.0;
  for (float cell : Damage.Cells) {
    if (cell > peak) peak = cell;
  }
  return peak / AmorphizationDensity * 100.0;
}

double DamageProfile::ArealDensity() const {
  double sum = 0.0;
  for (float cell : Damage.Cells) sum += cell;
  return sum * Damage.Width;
}

}  // namespace orvane
