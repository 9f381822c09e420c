#include "run/reports.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "core/append_line.h"
#include "core/fatal.h"
#include "core/thermal.h"
#include "damage/damage_plot.h"
#include "core/plot_pipe.h"
#include "run/cluster.h"
#include "run/implant_loop.h"
#include "run/run_summary.h"
#include "tally/histo_3d.h"
#include "tally/histo_plot.h"
#include "tally/ion_coordinates.h"
#include "tally/pearson.h"
#include "tally/profile_files.h"
#include "tally/result_names.h"

namespace orvane {

Vector BeamDirection(const Axes& frame, double tha, double phi) {
  const double t = Radians(tha);
  const double p = Radians(phi);
  return std::cos(t) * frame.X + std::sin(t) * std::sin(p) * frame.Y +
         std::sin(t) * std::cos(p) * frame.Z;
}

double EffectiveWeight(double dose, double area, int ions) {
  if (ions <= 0) return 0.0;
  return dose * area / (ions * 1e16);
}

void SimulationHeader(RunState& state, const Simulation& simulation, int /*k*/) {
  const Configuration& c = state.Config;
  Simulation& s = state.Current;
  s = simulation;
  UseLayerStopping(state);
  state.Temperature = s.Temperature;
  if (s.Miller == 0) s.DIR = BeamDirection(state.Frame, s.Tha, s.Phi);
  ComputeAmplitudes(state.Thermal, state.Atoms, c.Therm ? s.Temperature : -1.0);
  if (s.Projectiles[0] == 0) s.Projectiles[0] = s.ImplantedElement;
  state.Tallies.StartSimulation(TrackedSpecies(s.Projectiles), s.RareEvent, c.MaxDepth, s.Dose);
  if (state.Tallies.HistogramOf(s.ImplantedElement).n == 0) state.Config.pE = 0.0;

  state.CollisionTotal = 0;
  state.DistanceTotal = 0.0L;
  state.RotationCount = 0;
  state.PartnerCount = 0;
  state.Engine.Counters = CollisionCounters();
  state.NextIon = 1;
  state.WinA = c.WinA;
  state.WinB = c.WinB;
  state.IonWeight = EffectiveWeight(s.Dose, c.ImplantationArea, s.NumberOfImplants);
  state.SimulationStart = std::chrono::steady_clock::now();
  state.Damage.StartSimulation(
      DamageSettings{c.ImplantationArea, c.LevelOfSimulation, c.RecombinationFactor,
                     c.KinchinPeaseConstant, c.AmorphizationDensity * 1e-24, c.CutOffEnergy,
                     c.DisplacementEnergy, c.DoseRate, c.PreviousDamageFile},
      state.OutputDirectory);

  if (c.Verbose) {
    // The default notation, whatever the last simulation left on the console.
    std::ostringstream values;
    values << "\tDose             = " << s.Dose << '\n'
           << "\tN                = " << s.NumberOfImplants << '\n'
           << "\tImplantationArea = " << c.ImplantationArea << '\n'
           << "\tWEffective       = " << state.IonWeight << '\n'
           << "\tNEffective       = " << s.NumberOfImplants * state.IonWeight << '\n';
    std::cout << values.str();
  }
  if (!state.QuietIons) {
    std::cout << '\n'
              << "    Ion      Depth (nm)    Stat weigth      Path (nm)    Cascade time (sec.)\n"
              << " -----------------------------------------------------------------------------\n";
  }
  std::cout.setf(std::ios::fixed, std::ios::floatfield);
  std::cout.precision(4);
}

namespace {

// The mean distance between collisions, the mean number of partners and the
// effective density they imply, printed when verbose.
void ReportCollisions(RunState& state) {
  const double collisions = state.CollisionTotal;
  CollisionCounters& counters = state.Engine.Counters;
  if (collisions > 0) {
    state.DistanceTotal /= collisions;
    counters.NSimTotal /= collisions;
  }
  if (!state.Config.Verbose) return;
  const double meanDistance = static_cast<double>(state.DistanceTotal);
  const double meanPartners = static_cast<double>(counters.NSimTotal);
  const double radius = state.Config.InteractionRadius;
  const double density =
      meanDistance > 0.0 ? meanPartners / (meanDistance * kPi * radius * radius) * 1e24 : 0.0;
  const double ions = state.Current.NumberOfImplants;
  // General notation with four digits, whatever the per-ion lines left on
  // the console; the counts are whole numbers.
  std::ostringstream out;
  out.precision(4);
  out << "Mean Distance     = " << meanDistance << " (A)\n"
      << "Effective density = " << density << " at/cm^3 (aprox.)\n"
      << "NSimMean          = " << meanPartners << " at/col\n"
      << "NColMean          = " << (ions > 0 ? collisions / ions : 0.0) << " col/cascade\n"
      << "RotationMean      = " << (collisions > 0 ? state.RotationCount / collisions : 0.0)
      << " rot/total_iterations\n\n"
      << "Simultaneous col. = " << counters.SimultaneousCollisions << " vs "
      << state.CollisionTotal << " total collisions ("
      << (collisions > 0 ? counters.SimultaneousCollisions / collisions * 100.0 : 0.0) << " %)\n";
  std::cout << out.str();
}

void AppendCrossSection(double energy, double sigma0) {
  char line[64];
  std::snprintf(line, sizeof line, "%g %g\n", energy, sigma0);
  // Beside the parameter file, where only the first process of a cluster
  // job writes.
  if (cluster::IsFirst()) AppendLine("CrossSectionMartin_vs_Energy", line, "Statistics");
}

std::string PictureTitle(AtomList& atoms, int species, const Simulation& s, const char* more) {
  char title[200];
  std::snprintf(title, sizeof title, "%s at %g keV, tilt %g deg, dose %g at/cm^2%s",
                atoms.GetAt(species).SymbolText().c_str(), s.ENERGY / 1000.0, s.Tha, s.Dose, more);
  return title;
}

// The picture of a species' profile at the end of simulation k.  A
// simulation of the parameter file run in one piece takes the name of its
// joined file, "<prefix of its group>_NN.png"; a dose piece takes the name
// of its own profile file, ".<prefix of k>_NN.png", and leaves the joined
// file's name to the picture of the whole dose.
std::string PiecePicture(const RunState& state, int k, int species) {
  const std::vector<DoseGroup> groups = DoseGroups(state.Simulations);
  const int g = GroupOfPiece(groups, k);
  const std::string& hst = state.Config.HSTFile;
  if (g >= 0 && groups[g].Pieces == 1) {
    return JoinedFileName(state.OutputDirectory, hst, g + 1, species) + ".png";
  }
  return ProfileFileName(state.OutputDirectory, HistogramPrefix(hst, k), species) + ".png";
}

// The PNG pictures of the profile of every tracked species and of the
// damage, drawn by one plotting program.
void SavePictures(RunState& state, int k) {
  std::string commands;
  for (int species : state.Tallies.Tracked) {
    const std::string profile =
        ProfileFileName(state.OutputDirectory, HistogramPrefix(state.Config.HSTFile, k), species);
    commands += ProfilePictureCommands(profile, PiecePicture(state, k, species),
                                       PictureTitle(state.Atoms, species, state.Current, "")) +
                "reset\n";
  }
  commands += DamagePictureCommands(state.OutputDirectory, state.Damage.PeakAmorphization());
  DrawPictures(commands);
}

void WriteSummaries(RunState& state, int k) {
  const double seconds = state.SimulationSeconds();
  const int ions = state.Current.NumberOfImplants;
  for (int species : state.Tallies.Tracked) {
    WriteSummary(std::cout, state.Tallies.HistogramOf(species),
                 SpeciesSummaryContext(state, k, species, ions, seconds));
  }
  std::cout.flush();
  state.Record.AddSimulation(state, k, static_cast<uint32_t>(std::max(ions, 0)), seconds);
}

// The profile, moments, 3-D histogram and coordinates of one species of
// simulation k after the given number of ions.
void SaveSpeciesResults(RunState& state, int species, int k, uint32_t ions) {
  const Configuration& c = state.Config;
  const Simulation& s = state.Current;
  Hist& hist = state.Tallies.HistogramOf(species);
  const Tally3D& tally = state.Tallies.Tally3DOf(species);
  hist.Compute();
  if (c.PearsonIV) SavePearsonIV(hist, species, state.OutputDirectory);
  SaveHisto(hist, species, state.OutputDirectory, HistogramPrefix(c.HSTFile, k),
            c.FullDoseOutput != 0, ions, s.NumberOfImplants);
  // A simulation without ions has no weight to spread over the 3-D grid.
  if (!tally.Entries.Empty()) {
    SaveHisto3D(tally, species, hist.Dose, c.WinA * c.WinB, c.ASCII != 0, state.Frame,
                state.OutputDirectory);
  }
  if (c.ASCII) SaveCoordinates(tally, species, s.Dose, state.OutputDirectory);
}

}  // namespace

SummaryContext SpeciesSummaryContext(RunState& state, int k, int species, int ions,
                                     double seconds) {
  return SummaryContext{k,
                        species,
                        state.Atoms.GetAt(species).SymbolText(),
                        ions,
                        state.Damage.PeakAmorphization(),
                        seconds,
                        ImplantDescription(state.Current, state.Atoms),
                        &state.InputWarnings,
                        state.Config.Background};
}

void Statistics(RunState& state, int k) {
  const Configuration& c = state.Config;
  ReportCollisions(state);
  state.Damage.SaveAmorph(state.OutputDirectory);
  for (int species : state.Tallies.Tracked) {
    SaveSpeciesResults(state, species, k, state.Current.NumberOfImplants);
    Hist& hist = state.Tallies.HistogramOf(species);
    if (c.REShow) {
      hist.ShowSplitDepths(species, state.NextIon, state.OutputDirectory, state.Windows.Splitting);
    }
    if (c.Verbose) hist.ShowIons(species, std::cout);
  }
  state.NonLocalStopping.Release();
  state.AveragedStopping.Release();
  if (state.Config.PAUSE != 0) std::cin >> state.Config.PAUSE;
  std::cout << " Next parameter is valid only if RareEvent is deactivated" << '\n';
  char sigma[64];
  std::snprintf(sigma, sizeof sigma, "\nSigma_0 = %g cm^2\n\n", state.Sigma0);
  std::cout << sigma;
  AppendCrossSection(state.Current.ENERGY, state.Sigma0);
  if (c.SavePNG) SavePictures(state, k);
  WriteSummaries(state, k);
}

void SaveResultsSoFar(RunState& state, int k, uint32_t ions) {
  state.Damage.SaveAmorph(state.OutputDirectory);
  for (int species : state.Tallies.Tracked) SaveSpeciesResults(state, species, k, ions);
  state.Record.AddSimulation(state, k, ions, state.SimulationSeconds());
}

namespace {

// The simulation of the parameter file that the group's pieces ran: the
// first piece with the dose and the ions of them all.
Simulation WholeDose(const SimulationList& simulations, const DoseGroup& group) {
  Simulation whole;
  int number = 0;
  for (const Simulation& piece : simulations) {
    if (++number < group.FirstPiece || number > group.LastPiece()) continue;
    if (number == group.FirstPiece) {
      whole = piece;
      whole.Dose = 0.0;
      whole.NumberOfImplants = 0;
    }
    whole.Dose += piece.Dose;
    whole.NumberOfImplants += piece.NumberOfImplants;
  }
  return whole;
}

std::string FileNameOnly(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

void ReportJoinedProfiles(RunState& state, const std::vector<JoinedProfile>& joined) {
  const Configuration& c = state.Config;
  std::string commands;
  for (const JoinedProfile& j : joined) {
    if (j.Group.Pieces < 2) continue;
    const Simulation whole = WholeDose(state.Simulations, j.Group);
    const std::string pieces = " in " + std::to_string(j.Group.Pieces) + " dose pieces";
    const JoinedContext context{j.Group.FirstPiece,
                                j.Group.LastPiece(),
                                j.Species,
                                state.Atoms.GetAt(j.Species).SymbolText(),
                                FileNameOnly(j.FileName),
                                whole.NumberOfImplants,
                                whole.Dose,
                                ImplantDescription(whole, state.Atoms) + pieces,
                                &state.InputWarnings};
    const ProfileSummary summary = SummarizeJoined(j.Profile, j.OneIonConcentration, c.Background);
    WriteJoinedSummary(std::cout, summary, j.Profile, context);
    state.Record.AddWholeDose(context, j.GroupNumber,
                              GatherJoinedSummary(summary, j.Profile, context));
    if (c.SavePNG) {
      const std::string title = PictureTitle(state.Atoms, j.Species, whole, pieces.c_str());
      commands += JoinedPictureCommands(j.FileName, j.FileName + ".png", title) + "reset\n";
    }
  }
  std::cout.flush();
  if (!commands.empty()) DrawPictures(commands);
}

void DisplayOnly(RunState& state, int /*mode*/) {
  Configuration& c = state.Config;
  Require(state.Simulations.NumberOfElements() > 0, "Begin!=NULL", "list", 135);
  int k = 1;
  for (const Simulation& simulation : state.Simulations) {
    Simulation& s = state.Current;
    s = simulation;
    UseLayerStopping(state);
    if (s.Projectiles[0] == 0) s.Projectiles[0] = s.ImplantedElement;
    const std::string prefix = HistogramPrefix(c.HSTFile, k);
    OpenDisplayWindows(state.Windows, prefix, c.ShowDamage != 0);
    ShowFinalState1D(state.Windows.Doping, state.OutputDirectory, TrackedSpecies(s.Projectiles),
                     prefix, c.GPInit, c.GPPlot, true);
    PlotDamage(state.Windows.Damage, state.OutputDirectory, c.GPInitDamage, c.GPPlotDamage);
    PlotDamagePS(state.Windows.Damage, state.OutputDirectory, "Amorph1D.dat");
    std::cout << "Implant " << k << ". Press enter\n" << std::flush;
    std::cin.get();
    ClosePlotWindows(state.Windows);
    ++k;
  }
}

}  // namespace orvane
