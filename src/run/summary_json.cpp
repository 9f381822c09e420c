#include "run/summary_json.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>

#include "core/replaced_file.h"
#include "run/command_line.h"
#include "run/join_splitting.h"
#include "run/reports.h"
#include "run/run_state.h"
#include "run/run_summary.h"
#include "tally/result_names.h"

namespace orvane {

const char kSummaryJsonName[] = "summary.json";

using json = nlohmann::ordered_json;

namespace {

constexpr double kAngstromToNm = 0.1;
// The lower bound of a layer that the parameter file leaves open.
constexpr double kOpenLayerEnd = 1e9;

// "2004.10.04" from the banner's "(Version 2004.10.04)".
std::string VersionNumber() {
  const std::string line = kVersionLine;
  const std::size_t from = line.find("Version ") + 8;
  return line.substr(from, line.find(')', from) - from);
}

json FigureJson(const SummaryFigure& figure) {
  json value = {{"value", nullptr}, {"unit", figure.Unit}};
  if (figure.Value) value["value"] = *figure.Value;
  if (!figure.Reason.empty()) value["reason"] = figure.Reason;
  if (figure.Estimate) value["estimate"] = *figure.Estimate;
  return value;
}

json FiguresJson(const std::vector<SummaryLine>& lines) {
  json figures = json::object();
  for (const SummaryLine& line : lines) {
    for (const SummaryFigure& figure : line.Figures) figures[figure.Key] = FigureJson(figure);
  }
  return figures;
}

const char* KindName(int kind) {
  switch (kind) {
    case POLYCRYSTALLINE: return "polycrystalline";
    case AMORPHOUS: return "amorphous";
    default: return "crystalline";
  }
}

// The share of the layer's sites that each element holds.
json CompositionJson(const Layer& layer, AtomList& atoms) {
  std::map<int, double> sites;
  int count = 0;
  for (const BasisAtom& atom : layer.Basis) {
    sites[atom.SpeciesA] += atom.Fraction;
    if (atom.Fraction < 1.0) sites[atom.SpeciesB] += 1.0 - atom.Fraction;
    ++count;
  }
  json composition = json::array();
  for (const auto& [species, share] : sites) {
    if (species < 1 || species > atoms.NumberOfElements() || share <= 0.0) continue;
    const Atom& atom = atoms.GetAt(species);
    composition.push_back({{"element", atom.SymbolText()},
                           {"species", species},
                           {"Z", atom.Z},
                           {"fraction", share / count}});
  }
  return composition;
}

json LayersJson(RunState& state) {
  json layers = json::array();
  for (const Layer& layer : state.Layers) {
    json entry = {{"kind", KindName(layer.Kind)},
                  {"from_nm", layer.XMin * kAngstromToNm},
                  {"to_nm", nullptr},
                  {"thickness_nm", nullptr},
                  {"composition", CompositionJson(layer, state.Atoms)}};
    if (layer.XMax < kOpenLayerEnd) {
      entry["to_nm"] = layer.XMax * kAngstromToNm;
      entry["thickness_nm"] = (layer.XMax - layer.XMin) * kAngstromToNm;
    } else {
      entry["reason"] = "the last layer has no lower bound";
    }
    layers.push_back(entry);
  }
  return layers;
}

json InputsJson(const Simulation& s, AtomList& atoms) {
  json inputs = {{"ion", IonFormula(s, atoms)}, {"energy_eV", s.ENERGY},
                 {"tilt_deg", s.Tha},           {"twist_deg", s.Phi},
                 {"direction", nullptr},        {"dose_per_cm2", s.Dose},
                 {"ions", s.NumberOfImplants},  {"temperature_K", s.Temperature},
                 {"rare_event", s.RareEvent},   {"dose_splitting", s.DoseSplitting != 0}};
  if (s.Miller != 0) inputs["direction"] = {s.DIR.x, s.DIR.y, s.DIR.z};
  return inputs;
}

// The PNG picture of a profile: "<dir>/<name>_NN.png".
std::string PictureFileName(const std::string& dir, const std::string& name, int species) {
  char number[16];
  std::snprintf(number, sizeof number, "_%02d.png", species);
  return dir + "/" + name + number;
}

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// The names of the files that exist among the paths, by their keys.
json ExistingFiles(const std::vector<std::pair<const char*, std::string>>& paths) {
  json files = json::object();
  std::error_code error;
  for (const auto& [key, path] : paths) {
    if (std::filesystem::is_regular_file(path, error)) files[key] = FileName(path);
  }
  return files;
}

}  // namespace

struct RunRecord::Data {
  json Run = json::object();
  json Simulations = json::array();
  json WholeDoses = json::array();
};

RunRecord::RunRecord() : data_(std::make_unique<Data>()) {}
RunRecord::~RunRecord() = default;

void RunRecord::Start(const RunInvocation& invocation) {
  data_->Run = {{"program", "Orvane"},
                {"version", VersionNumber()},
                {"banner", std::string(kVersionLine)},
                {"command_line", invocation.Arguments},
                {"parameter_file", invocation.ParameterFile},
                {"threads", nullptr},
                {"threads_used", invocation.ThreadsUsed},
                {"processes", invocation.Processes}};
  if (invocation.Threads != kOneStream) data_->Run["threads"] = invocation.Threads;
  data_->Simulations = json::array();
  data_->WholeDoses = json::array();
}

void RunRecord::AddSimulation(RunState& state, int k, uint32_t ions, double seconds) {
  json species = json::array();
  for (int s : state.Tallies.Tracked) {
    const SummaryContext context = SpeciesSummaryContext(state, k, s, ions, seconds);
    species.push_back(
        {{"species", s},
         {"symbol", context.Symbol},
         {"figures", FiguresJson(GatherSummary(state.Tallies.HistogramOf(s), context))}});
  }
  json simulation = {{"number", k}, {"ions_done", ions}};
  simulation["inputs"] = InputsJson(state.Current, state.Atoms);
  simulation["implant"] = ImplantDescription(state.Current, state.Atoms);
  simulation["species"] = species;
  data_->Simulations.push_back(simulation);
}

void RunRecord::AddWholeDose(const JoinedContext& context, int group,
                             const std::vector<SummaryLine>& lines) {
  data_->WholeDoses.push_back({{"group", group},
                               {"first_simulation", context.FirstPiece},
                               {"last_simulation", context.LastPiece},
                               {"ions", context.Ions},
                               {"dose_per_cm2", context.Dose},
                               {"implant", context.Implant},
                               {"species", context.Species},
                               {"symbol", context.Symbol},
                               {"file", context.FileName},
                               {"figures", FiguresJson(lines)}});
}

void RunRecord::Write(RunState& state, int status) const {
  const std::string& dir = state.OutputDirectory;
  const std::string hstFile = state.Config.HSTFile;
  const std::vector<DoseGroup> groups = DoseGroups(state.Simulations);
  json simulations = data_->Simulations;
  // Files named by the species alone hold its last simulation.
  std::map<int, json*> lastOfSpecies;
  for (json& simulation : simulations) {
    const int k = simulation["number"];
    const int group = GroupOfPiece(groups, k) + 1;
    simulation["group"] = group;
    for (json& species : simulation["species"]) {
      const int s = species["species"];
      const std::string name = HistogramPrefix(hstFile, k);
      species["files"] =
          ExistingFiles({{"profile", ProfileFileName(dir, name, s)},
                         {"picture", PictureFileName(dir, name, s)},
                         {"joined_profile", JoinedFileName(dir, hstFile, group, s)}});
      lastOfSpecies[s] = &species;
    }
  }
  for (const auto& [s, species] : lastOfSpecies) {
    (*species)["files"].update(ExistingFiles({{"pearson", PearsonFileName(dir, s)},
                                              {"histo3d", Histo3DBinaryFileName(dir, s)},
                                              {"histo3d_text", Histo3DTextFileName(dir, s)},
                                              {"coordinates", CoordinatesFileName(dir, s)}}));
  }
  json run = data_->Run;
  run["status"] = status;
  run["output_directory"] = dir;
  run["seeds"] = {state.Config.Seed1, state.Config.Seed2};
  run["warnings"] = state.InputWarnings;
  run["layers"] = LayersJson(state);
  run["files"] = ExistingFiles({{"parameters", dir + "/Parameters.out"},
                                {"damage", dir + "/Amorph1D.dat"},
                                {"amorphization_vs_dose", dir + "/MaxAmorf_vs_Dose.dat"},
                                {"damage_picture", dir + "/Amorph1D.png"}});
  run["simulations"] = simulations;
  run["whole_doses"] = data_->WholeDoses;
  ReplacedFile file(dir + "/" + kSummaryJsonName);
  if (!file.OpenOrWarn("RunRecord::Write")) return;
  file.Stream() << run.dump(2) << '\n';
  file.CommitOrWarn("RunRecord::Write");
}

}  // namespace orvane
