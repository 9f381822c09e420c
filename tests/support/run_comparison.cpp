#include "support/run_comparison.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

namespace orvane_test {

const char* const kDosePiecesWithDamage =
    "Atom B 5 11.009 519 Atom Si 14 28.086 519\n"
    "XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 NextLayer\n"
    "AmorphizationDensity 4.99e21 DisplacementEnergy 15 DoseRate 1e11 CteD 1\n"
    "LevelOfSimulation 2 ENERGY 3000 Tha 7 Dose 1e15 DoseSplitting On\n"
    "NumberOfImplants 70 PearsonIV On\n";

const char* const kRareEventsThroughTwoLayers =
    "Atom B 5 11.009 519 Atom Si 14 28.086 519 Atom O 8 15.999 0\n"
    "Amorphous 2 LatticeParameter 7.16 7.16 7.16\n"
    "XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15\n"
    "XTal 3 6 0.125 0.125 0.125 20 XTal 3 6 0.875 0.875 0.125 20\n"
    "XTal 3 6 0.875 0.125 0.875 20 XTal 3 6 0.125 0.875 0.875 20\n"
    "XMin 0 XMax 50 NextLayer\n"
    "Amorphous 0 XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15 XMin 50 XMax 1e7 NextLayer\n"
    "RS0 1.7 1.85 0.0 ENERGY 5000 Tha 7 Dose 1e14 NumberOfImplants 70\n"
    "RareEvent 2 REThreshold 0 REInterval 10 ASCII On\n";

const char* const kSampledPartnersWithDamage =
    "Atom B 5 11.009 519 Atom Si 14 28.086 519 Atom O 8 15.999 0\n"
    "Amorphous 2 SampledPartners On LatticeParameter 7.16 7.16 7.16\n"
    "XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15\n"
    "XTal 3 6 0.125 0.125 0.125 20 XTal 3 6 0.875 0.875 0.125 20\n"
    "XTal 3 6 0.875 0.125 0.875 20 XTal 3 6 0.125 0.875 0.875 20\n"
    "XMin 0 XMax 30 NextLayer\n"
    "Amorphous 0 SampledPartners On XTal 2 6 0 0 0 15 XTal 2 6 0.25 0.25 0.25 15\n"
    "XMin 30 XMax 1e7 NextLayer\n"
    "AmorphizationDensity 4.99e21 DisplacementEnergy 15 DoseRate 1e11 CteD 1\n"
    "LevelOfSimulation 2 ENERGY 3000 Tha 7 Dose 1e15 DoseSplitting On\n"
    "NumberOfImplants 70 RareEvent 2 REThreshold 0 REInterval 10\n";

namespace {

// The console without its wall-clock figures, which vary from run to run.
std::string WithoutWallTime(const std::string& out) {
  std::istringstream is(out);
  std::string kept;
  for (std::string line; std::getline(is, line);) {
    if (line.find("Wall time") == std::string::npos) kept += line + "\n";
  }
  return kept;
}

// The first line in which the texts differ, with its number.
std::string FirstDifference(const std::string& a, const std::string& b) {
  std::istringstream as(a), bs(b);
  std::string lineA, lineB;
  for (int number = 1;; ++number) {
    const bool moreA = static_cast<bool>(std::getline(as, lineA));
    const bool moreB = static_cast<bool>(std::getline(bs, lineB));
    if (!moreA && !moreB) return "same lines";
    if (lineA != lineB || moreA != moreB) {
      return "line " + std::to_string(number) + ": '" + lineA + "' against '" + lineB + "'";
    }
  }
}

}  // namespace

std::string ComparableSummary(const std::string& summaryJson) {
  auto summary = nlohmann::ordered_json::parse(summaryJson);
  for (const char* key : {"command_line", "threads", "threads_used", "processes"}) {
    summary.erase(key);
  }
  for (auto& simulation : summary["simulations"]) {
    for (auto& species : simulation["species"]) {
      species["figures"].erase("wall_time");
      species["figures"].erase("ion_rate");
    }
  }
  return summary.dump(2);
}

std::map<std::string, std::string> Results(const TempDir& dir, const RunResult& run) {
  std::map<std::string, std::string> files{{"<stdout>", WithoutWallTime(run.out)}};
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path())) {
    const std::string path = std::filesystem::relative(entry.path(), dir.Path()).string();
    if (!entry.is_regular_file()) continue;
    const std::string text = ReadFile(entry.path().string());
    const bool summary = entry.path().filename() == "summary.json";
    files[path] = summary ? ComparableSummary(text) : text;
  }
  return files;
}

void ExpectSameResults(const std::map<std::string, std::string>& expected,
                       const std::map<std::string, std::string>& actual, const std::string& label) {
  ASSERT_EQ(actual.size(), expected.size()) << label;
  for (const auto& [path, text] : expected) {
    ASSERT_GT(actual.count(path), 0u) << path << " missing with " << label;
    EXPECT_TRUE(actual.at(path) == text)
        << path << " differs with " << label << ", " << FirstDifference(text, actual.at(path));
  }
}

}  // namespace orvane_test
