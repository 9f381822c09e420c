// The one-dimensional profile of the defects that the cascades leave, which
// grows with the dose and saturates at the amorphization density.  Each
// deposit adds Kinchin-Pease displacements to the cell at its depth, of
// which only the fraction that survives dynamic annealing is kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/appending_file.h"
#include "damage/damage_increments.h"
#include "damage/varhst.h"

namespace orvane {

// What the start of a simulation hands to the damage model.
struct DamageSettings {
  double ImplantationArea = 100.0;  // square angstrom
  int Mode = 1;                     // the level of simulation: 1 follows no recoils
  double RecombinationFactor = 0.06;
  double KinchinPeaseConstant = 0.8;
  double AmorphizationDensity = 0.0049968;  // defects per cubic angstrom
  double CutOffEnergy = 0.15;               // eV per cubic angstrom of a cell
  double DisplacementEnergy = 15.0;         // eV
  double DoseRate = 1e11;
  // A damage file of an earlier run to start from, as the parameter reader
  // stores it (with its final blank); empty keeps the profile in hand.
  std::string PreviousDamageFile;
};

// What the deposits of one ion leave besides the damage: their sums, and
// how far the cells had to reach.
struct DepositSums {
  double Displacements = 0.0;
  double Retained = 0.0;
  float Stop = 0.0f;  // end of the cells, angstrom
  uint32_t Count = 0;
};

struct DamageProfile {
  // The deposits between two saves of the profile.
  static constexpr int64_t kSaveInterval = 10000;
  // Status of a previous damage file that ends early or holds no numbers.
  static constexpr int kBadDamageFileStatus = 300;

  VarHist Damage;                   // defects per cubic angstrom
  double ImplantationArea = 100.0;  // square angstrom
  double CutOffEnergy = 0.15;
  double DisplacementEnergy = 15.0;  // eV
  double SurvivingFraction = 0.06;   // the last fraction that survived annealing
  double KinchinPeaseConstant = 0.8;
  double AmorphizationDensity = 0.0049968;  // defects per cubic angstrom
  int Mode = 1;
  int64_t Count = 0;  // deposits so far
  double DoseRate = 1e11;
  double CteA = 0.0;
  double CteB = 1.0;
  double CteC = 0.7;
  double CteD = 1e-30;
  double CteK = 0.0;
  double AnchoCajas = 0.0;     // requested cell width, angstrom; 0 keeps the cells
  double Displacements = 0.0;  // Kinchin-Pease displacements since the last ion
  double Retained = 0.0;       // displacements that survived, since the last ion
  // Where the periodic saves of the deposits write "Amorph1D.dat".
  std::string OutputDirectory = ".";
  // While set, AddDamage counts the deposit and adds its displacements to
  // the sums here, widening the cells as usual, but leaves the cells'
  // densities, the count and the files alone: what a parallel ion keeps of
  // its deposits, reading the profile as its batch started.
  DepositSums* Sums = nullptr;
  // While set too, the displacements retained are summed here for the
  // cells: the damage of a parallel batch, which the run adds at once.
  DamageIncrements* Increments = nullptr;
  // What SaveAmorph wrote last, and where.
  struct SavedProfile {
    std::string Path;
    VarHist Damage;
    double AmorphizationDensity = 0.0;
  };
  mutable std::optional<SavedProfile> LastSaved;

  // Re-parameterises the profile for a simulation whose files go to
  // outputDirectory: the cells requested by AnchoCajas, the settings, and the
  // profile of the previous damage file when one is named (status 300 when
  // it cannot be opened, ends early or holds no numbers).  The cells are not
  // reset otherwise, so damage carries over from one simulation to the next.
  void StartSimulation(const DamageSettings& settings, const std::string& outputDirectory);

  // The cell that holds a depth (angstrom), widening the cells first when the
  // depth lies beyond the last one; -1 for a negative depth.
  int CellOf(double depth);

  // The fraction of the cell's material that is amorphous; a cell held at
  // the amorphization density (in single precision) is wholly amorphous.
  double AmorphousFraction(int cell) const;

  // Deposits the energy (eV) that a collision at the depth (angstrom) gave
  // to a target atom, kind 'B' when the atom was set in motion and 'I' when
  // it stayed on its site, for a particle of the weight at the temperature
  // (K).  Every 10000th deposit saves the profile.
  void AddDamage(double depth, double energy, char kind, double weight, double temperature);

  // Takes in the sums of an ion's deposits as if its deposits had been
  // added: the displacements, the retention, the reach of the cells and
  // the count with its periodic saves.
  void AddSums(const DepositSums& sums);

  // Empty increments on the cells as they are now.
  DamageIncrements FreshIncrements() const;
  // Takes in the damage of a batch: widens the cells to the stop
  // (angstrom) that its ions reached, then adds the retained displacements
  // to the cells (spread by length where the cells changed), each cell
  // still held to the amorphization density.
  void AddIncrements(const DamageIncrements& increments, float stop);

  // Writes "Amorph1D.dat" in the directory (status 301 when it cannot).
  // A profile that has not changed since it was last saved there, while
  // that file is still there, is not written again: the file holds those
  // very bytes already (a damage model that retains nothing saves the same
  // profile every 10000 deposits).
  void SaveAmorph(const std::string& outputDirectory) const;

  // Folds the displacements counted since the last ion, along the path
  // (angstrom) that its particles travelled, into the running mean sigma0
  // over the ions of the simulation of the displacement cross-section
  // (cm^2); ion is the 1-based number of that ion.  The count starts afresh.
  double FoldCrossSection(double sigma0, double pathSum, uint32_t ion);

  // Appends the line of the displacements retained since the last ion to
  // the file ("DDBC_1D.dat") and starts that sum afresh.
  void AppendRetained(AppendingFile& file);

  // False when, at the temperature (K), the survival law keeps fewer than
  // one displacement in a million even in amorphized material: the damage
  // then never grows with the dose (the default CteD 1e-30 does so).
  bool RetainsDamage(double temperature) const;

  // The largest cell over the amorphization density, in percent (0 for a
  // profile without positive cells).
  double PeakAmorphization() const;
  // The sum of the cells times the cell width: defects per square angstrom.
  double ArealDensity() const;

 private:
  void ReadPreviousDamage(const std::string& name);
  // Counts the deposits, saving the profile where the count passes a
  // multiple of kSaveInterval (once: the saves of one call would all save
  // the same profile).
  void CountDeposits(uint32_t deposits);
  // Adds displacements retained in the cell, or spread by length over the
  // cells that the depths [low, high) (angstrom) overlap.
  void AddRetained(int cell, double retained);
  void SpreadRetained(double low, double high, double retained);
  double EffectiveEnergy(double energy, char kind, double weight, double cellVolume) const;
  double SurvivalFraction(double amorphousFraction, double temperature) const;
};

}  // namespace orvane
