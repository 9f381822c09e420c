#include "run/configure.h"

#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <system_error>

#include "core/fatal.h"
#include "core/text_value.h"
#include "core/thermal.h"
#include "physics/indexes.h"
#include "run/cluster.h"
#include "run/dose_splitting.h"
#include "run/input.h"

namespace orvane {

namespace {

constexpr int kMaxElements = 10;

void RegisterKeywords(Input& input, RunState& state) {
  Configuration& c = state.Config;
  Simulation& s = state.SimulationTemplate;
  Layer& l = state.LayerTemplate;
  DamageProfile& d = state.Damage;
  const std::size_t text = Configuration::kTextSize;
  const std::size_t model = Configuration::kModelNameSize;
  const Parameter keywords[] = {
      {"Projectiles", KIND_INTEGER_LIST, s.Projectiles},
      {"ENERGY", KIND_REAL, &s.ENERGY},
      {"DIR", KIND_VECTOR, &s.DIR},
      {"Miller", KIND_INTEGER, &s.Miller},
      {"Tha", KIND_REAL, &s.Tha},
      {"Phi", KIND_REAL, &s.Phi},
      {"Divergence", KIND_REAL, &s.Divergence},
      {"NumberOfImplants", KIND_INTEGER, &s.NumberOfImplants},
      {"Dose", KIND_REAL, &s.Dose},
      {"Temperature", KIND_REAL, &s.Temperature},
      {"RareEvent", KIND_INTEGER, &s.RareEvent},
      {"RS0", KIND_REAL_LIST_CARRIED, s.RS0},
      {"NextSimulation", KIND_CLOSE_SIMULATION, &state.Simulations, &s},
      {"EnergySpread", KIND_INTEGER, &c.EnergySpread},
      {"EnergySigma", KIND_REAL, &c.EnergySigma},
      {"EnergyPercentage", KIND_REAL, &c.EnergyPercentage},
      {"POS", KIND_VECTOR, &c.POS},
      {"DivType", KIND_INTEGER, &c.DivType},
      {"InteractionRadius", KIND_REAL, &c.InteractionRadius},
      {"ThresholdEnergy", KIND_REAL, &c.ThresholdEnergy},
      {"GhiLimit", KIND_REAL, &c.GhiLimit},
      {"SimultaneousDistance", KIND_REAL, &c.SimultaneousDistance},
      {"SD2", KIND_REAL, &c.SD2},
      {"Verbose", KIND_SWITCH, &c.Verbose},
      {"Seed1", KIND_INTEGER, &c.Seed1},
      {"Seed2", KIND_INTEGER, &c.Seed2},
      {"Randomize", KIND_INTEGER, &c.Randomize},
      {"ABC", KIND_VECTOR, &c.ABC},
      {"FLAT", KIND_VECTOR, &c.FLAT},
      {"Cut_Tha", KIND_REAL, &c.Cut_Tha},
      {"Cut_Phi", KIND_REAL, &c.Cut_Phi},
      {"WinA", KIND_REAL, &c.WinA},
      {"WinB", KIND_REAL, &c.WinB},
      {"Therm", KIND_SWITCH, &c.Therm},
      {"MaxIterationsPerImplant", KIND_COUNT, &c.MaxIterationsPerImplant},
      {"MaxDepth", KIND_REAL, &c.MaxDepth},
      {"LevelOfSimulation", KIND_INTEGER, &c.LevelOfSimulation},
      {"Atom", KIND_ELEMENT, &state.Atoms},
      {"SpecificPotential", KIND_POTENTIAL_PAIR, &state.Potentials},
      Parameter("Amorphous", KIND_INTEGER, &l.Kind).OfLayer(),
      Parameter("LatticeParameter", KIND_VECTOR, &l.LatticeParameter).OfLayer(),
      Parameter("Angles", KIND_VECTOR, &l.Angles).OfLayer(),
      Parameter("XTal", KIND_LATTICE_SITE, &l.Basis).OfLayer(),
      Parameter("XTal2", KIND_FULL_LATTICE_SITE, &l.Basis).OfLayer(),
      Parameter("XMin", KIND_REAL, &l.XMin).OfLayer(),
      Parameter("XMax", KIND_REAL, &l.XMax).OfLayer(),
      Parameter("EDTFile[", KIND_TEXT, l.EDTFile, nullptr, Layer::kFileNameSize).OfLayer(),
      Parameter("EDTCreate", KIND_INTEGER, &l.EDTCreate).OfLayer(),
      Parameter("SampledPartners", KIND_SWITCH, &l.SampledPartners).OfLayer().EchoedWhenRead(),
      {"NextLayer", KIND_CLOSE_LAYER, &state.Layers, &l},
      {"REThreshold", KIND_INTEGER, &c.REThreshold},
      {"REInterval", KIND_INTEGER, &c.REInterval},
      {"REShow", KIND_SWITCH, &c.REShow},
      {"REType", KIND_INTEGER, &c.REType},
      {"pE", KIND_REAL, &c.pE},
      {"pX", KIND_REAL, &c.pX},
      {"PearsonIV", KIND_SWITCH, &c.PearsonIV},
      {"ShowHisto1D", KIND_SWITCH, &c.ShowHisto1D},
      {"ShowDamage", KIND_SWITCH, &c.ShowDamage},
      {"FullDoseOutput", KIND_SWITCH, &c.FullDoseOutput},
      {"SavePNG", KIND_SWITCH, &c.SavePNG},
      Parameter("Background", KIND_REAL, &c.Background).EchoedWhenRead(),
      {"HSTFile[", KIND_TEXT, c.HSTFile, nullptr, text},
      {"GPInit[", KIND_TEXT, c.GPInit, nullptr, text},
      {"GPPlot[", KIND_TEXT, c.GPPlot, nullptr, text},
      {"GPInitDamage[", KIND_TEXT, c.GPInitDamage, nullptr, text},
      {"GPPlotDamage[", KIND_TEXT, c.GPPlotDamage, nullptr, text},
      {"Stopping[", KIND_TEXT, c.Stopping, nullptr, model},
      {"Ionization[", KIND_TEXT, c.Ionization, nullptr, model},
      {"PAUSE", KIND_INTEGER, &c.PAUSE},
      {"RecombinationFactor", KIND_REAL, &c.RecombinationFactor},
      {"KinchinPeaseConstant", KIND_REAL, &c.KinchinPeaseConstant},
      {"AmorphizationDensity", KIND_REAL, &c.AmorphizationDensity},
      {"CutOffEnergy", KIND_REAL, &c.CutOffEnergy},
      {"DisplacementEnergy", KIND_REAL, &c.DisplacementEnergy},
      {"PreviousDamageFile[", KIND_TEXT, c.PreviousDamageFile, nullptr, text},
      {"DoseSplitting", KIND_SWITCH, &s.DoseSplitting},
      {"DoseDistribution", KIND_REAL_LIST_ZEROED, s.DoseDistribution},
      {"ImplantationArea", KIND_REAL, &c.ImplantationArea},
      {"ASCII", KIND_SWITCH, &c.ASCII},
      {"DoseRate", KIND_REAL, &c.DoseRate},
      {"CteA", KIND_REAL, &d.CteA},
      {"CteB", KIND_REAL, &d.CteB},
      {"CteC", KIND_REAL, &d.CteC},
      {"CteD", KIND_REAL, &d.CteD},
      {"CteK", KIND_REAL, &d.CteK},
      {"AnchoCajas", KIND_REAL, &d.AnchoCajas},
  };
  static_assert(sizeof(keywords) / sizeof(keywords[0]) == 87, "the parameter file has 87 keywords");
  for (const Parameter& keyword : keywords) input.Add(keyword);
}

void CompleteElements(RunState& state) {
  if (state.Atoms.NumberOfElements() == 0) {
    state.Atoms.Add(Atom("B", 11.0, 5, 519.0));
    state.Atoms.Add(Atom("Si", 28.086, 14, 519.0));
    state.SimulationTemplate.ImplantedElement = 1;
  }
  if (state.Atoms.NumberOfElements() > kMaxElements) {
    Fatal(404, "Maximum number of atoms reached. Please recompile.\n");
  }
}

// Every implanted species must be an element of the list.
void CheckProjectiles(const RunState& state) {
  const int elements = state.Atoms.NumberOfElements();
  for (const Simulation& s : state.Simulations) {
    for (int slot = 0; slot < Simulation::kSpecies && s.Projectiles[slot] != 0; ++slot) {
      const int species = s.Projectiles[slot];
      if (species >= 1 && species <= elements) continue;
      Fatal(605, "# Error: Configure, Projectiles " + std::to_string(species) +
                     " names no element: the list holds " + std::to_string(elements) + "\n");
    }
  }
}

[[noreturn]] void Undefined(const std::string& what, double value) {
  std::ostringstream text;
  text << "# Error: Configure, " << what << ": " << value << "\n";
  Fatal(kUndefinedPhysicsStatus, text.str());
}

// The collision tables end at their last energy; a look-up needs the
// energy below it.
double TabulatedEnergyLimit() { return EnergyIndexToValue(N_ENERGY - 1).lower; }

// The most energy that one atom of the simulation's ion starts with: the
// whole energy, or the heaviest atom's share of a molecule's.
double LargestAtomEnergy(const Simulation& s, AtomList& atoms, int& species) {
  species = s.Projectiles[0] != 0 ? s.Projectiles[0] : s.ImplantedElement;
  double total = 0.0;
  for (int slot = 0; slot < Simulation::kSpecies && s.Projectiles[slot] != 0; ++slot) {
    const double mass = atoms.GetAt(s.Projectiles[slot]).W;
    total += mass;
    if (mass > atoms.GetAt(species).W) species = s.Projectiles[slot];
  }
  return total > 0.0 ? s.ENERGY * atoms.GetAt(species).W / total : s.ENERGY;
}

void CheckEnergyInTables(const Simulation& s, AtomList& atoms, int k) {
  int species = 0;
  const double energy = LargestAtomEnergy(s, atoms, species);
  if (energy < TabulatedEnergyLimit()) return;
  std::ostringstream text;
  text << "# Error: Configure, ENERGY " << s.ENERGY << " eV in simulation " << k;
  if (energy != s.ENERGY) {
    text << " gives " << atoms.GetAt(species).SymbolText() << " " << energy << " eV, which";
  }
  text << " is beyond the collision tables: they end at " << std::setprecision(10)
       << TabulatedEnergyLimit() << " eV (8.25 MeV) for each atom of the ion\n";
  Fatal(kUndefinedPhysicsStatus, text.str());
}

// Values for which the physics is undefined are refused before any ion: an
// ion without energy, a particle that never comes to rest, a simulation
// that stands for no real ion, a dose piece taken away.
void CheckPhysicalValues(RunState& state) {
  const Configuration& c = state.Config;
  if (!(c.ThresholdEnergy > 0.0)) Undefined("ThresholdEnergy must be positive", c.ThresholdEnergy);
  if (!(c.ImplantationArea > 0.0)) {
    Undefined("ImplantationArea must be positive", c.ImplantationArea);
  }
  if (c.Background < 0.0) Undefined("Background must not be negative", c.Background);
  int k = 0;
  for (const Simulation& s : state.Simulations) {
    const std::string where = " in simulation " + std::to_string(++k);
    if (!(s.ENERGY > 0.0)) Undefined("ENERGY must be positive" + where, s.ENERGY);
    CheckEnergyInTables(s, state.Atoms, k);
    if (s.NumberOfImplants < 0) {
      Undefined("NumberOfImplants must not be negative" + where, s.NumberOfImplants);
    }
    if (!(s.Dose > 0.0)) {
      Undefined((s.DoseSplitting ? "DoseSplitting has no positive Dose to split"
                                 : "Dose must be positive") + where,
                s.Dose);
    }
    for (double piece : s.DoseDistribution) {
      if (piece < 0.0) Undefined("DoseDistribution must not be negative" + where, piece);
    }
  }
}

// Says on standard error what the reader found suspicious, and that a file
// without keywords runs the defaults; keeps it for the summaries.  Under
// "--strict" any of it refuses the file.
void ReportWarnings(RunState& state, const Input& input, int matches) {
  state.InputWarnings = input.Warnings();
  if (matches == 0) {
    state.InputWarnings.push_back(input.FileName() +
                                  " holds no keyword: the run uses the defaults, boron at 200 eV "
                                  "into silicon (100), 10 ions");
  }
  // Every process of a cluster job reads the file; the first one tells.
  if (cluster::IsFirst()) {
    for (const std::string& warning : state.InputWarnings) {
      std::cerr << "# Warning: " << warning << "\n";
    }
    std::cerr.flush();
  }
  if (state.StrictInput && !state.InputWarnings.empty()) {
    Fatal(kStrictRefusalStatus, "# Error: Configure, --strict refuses " + input.FileName() +
                                    " for the " + std::to_string(state.InputWarnings.size()) +
                                    " warning" + (state.InputWarnings.size() == 1 ? "" : "s") +
                                    " above\n");
  }
}

void CompleteFrame(Configuration& c) {
  if (c.FLAT != NullVector) return;
  if (c.ABC == Vector(1.0, 0.0, 0.0)) {
    c.FLAT = Vector(0.0, 1.0, 0.0);
  } else if (c.ABC == Vector(1.0, 1.0, 0.0)) {
    c.FLAT = Vector(0.0, 0.0, 1.0);
  } else {
    Fatal(500, "# Error: You must define de Y axe with FLAT token\n");
  }
}

void ExpandDoseSplitting(RunState& state) {
  SimulationList expanded;
  for (const Simulation& simulation : state.Simulations) {
    if (simulation.DoseSplitting) {
      SplitDose(simulation, expanded);
    } else {
      expanded.Add(simulation);
    }
  }
  Require(expanded.NumberOfElements() > 0, "Begin!=NULL", "list", 135);
  state.Simulations = expanded;
}

}  // namespace

void Defaults(RunState& state) {
  state.Config = Configuration();
  state.SimulationTemplate = Simulation();
  state.Damage = DamageProfile();
  state.Temperature = 300.0;
  state.IonWeight = 1.0;
  state.ClosestImpact2 = 1e10;
  state.Current = Simulation();
}

std::string OutputDirectoryName(const std::string& parameterFile) {
  const std::size_t slash = parameterFile.find_last_of('/');
  return "D" + (slash == std::string::npos ? parameterFile : parameterFile.substr(slash + 1));
}

void Configure(RunState& state, int argc, char** argv, const std::string& outputDirectory) {
  if (argc <= 1) Fatal(300, "# Error, I do not known the name of input file.\n");
  Input input(argv[1]);
  state.SimulationTemplate = Simulation();
  state.Damage.CteA = 1.0;
  state.Damage.CteB = 1e-21;
  RegisterKeywords(input, state);
  ReportWarnings(state, input, input.ReadParameters(0));

  CompleteElements(state);
  CheckProjectiles(state);
  CheckPhysicalValues(state);
  CompleteFrame(state.Config);
  state.Temperature = state.SimulationTemplate.Temperature;
  ComputeAmplitudes(state.Thermal, state.Atoms, state.Config.Therm ? state.Temperature : -1.0);
  ExpandDoseSplitting(state);

  // The directory name has no separator left, so this makes one directory
  // and accepts one that exists, as "mkdir -p" would.
  state.OutputDirectory = outputDirectory.empty() ? OutputDirectoryName(argv[1]) : outputDirectory;
  std::error_code ignored;
  std::filesystem::create_directories(state.OutputDirectory, ignored);
  state.DirectoryLock.Acquire(state.OutputDirectory);

  input.SetFileName(state.OutputDirectory + "/Parameters.out");
  input.WriteParameters();
  StripFinalBlank(state.Config.HSTFile);
}

}  // namespace orvane
