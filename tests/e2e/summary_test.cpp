// End-to-end runs of what a run tells its user: the summary after each
// simulation, the options that answer without running, and the warning of
// a dose that the damage model ignores.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <vector>

#include "support/ion_statistics.h"
#include "support/run_comparison.h"
#include "support/test_support.h"

using namespace orvane_test;

namespace {

// The "name = value" lines of the summary blocks, one map per block.
std::vector<std::map<std::string, std::string>> SummaryBlocks(const std::string& out) {
  std::vector<std::map<std::string, std::string>> blocks;
  std::istringstream is(out);
  for (std::string line; std::getline(is, line);) {
    if (line.rfind("# Summary", 0) == 0) {
      blocks.emplace_back();
      blocks.back()["heading"] = line;
      continue;
    }
    const std::size_t equals = line.find(" = ");
    if (blocks.empty() || line.rfind("#   ", 0) != 0 || equals == std::string::npos) continue;
    std::string name = line.substr(4, equals - 4);
    name.erase(name.find_last_not_of(' ') + 1);
    blocks.back()[name] = line.substr(equals + 3);
  }
  return blocks;
}

double Number(const std::string& text) { return std::stod(text); }

}  // namespace

TEST(Summary, FiguresAgreeWithTheIonLinesAndTheProfileFile) {
  TempDir dir;
  const RunResult r = RunFile(dir, "ENERGY 3000 Tha 7 NumberOfImplants 150 Dose 1e13\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto blocks = SummaryBlocks(r.out);
  ASSERT_EQ(blocks.size(), 1u) << r.out;
  auto block = blocks[0];
  EXPECT_EQ(block["heading"], "# Summary of simulation 1, species 1 (B): 150 ions");

  // Every ion has the same weight: the moments of the implanted ions' depths
  // (printed to 1e-4 nm) and the share of each end.
  std::vector<double> depths;
  int back = 0;
  for (const FinalIon& ion : FinalIons(r.out)) {
    if (ion.status.empty()) depths.push_back(ion.depth);
    if (ion.status == "BACK SCATTERED") ++back;
  }
  ASSERT_EQ(depths.size() + back, 150u);
  double mean = 0;
  for (double d : depths) mean += d / depths.size();
  double m2 = 0, m3 = 0, m4 = 0;
  for (double d : depths) {
    m2 += std::pow(d - mean, 2) / depths.size();
    m3 += std::pow(d - mean, 3) / depths.size();
    m4 += std::pow(d - mean, 4) / depths.size();
  }
  EXPECT_NEAR(Number(block["Mean depth"]), mean, 0.006);
  EXPECT_NEAR(Number(block["Straggle"]), std::sqrt(m2), 0.006);
  EXPECT_NEAR(Number(block["Skewness"]), m3 / std::pow(m2, 1.5), 0.002);
  EXPECT_NEAR(Number(block["Kurtosis"]), m4 / (m2 * m2), 0.002);
  const std::string backText = block["Real ions backscattered"];
  EXPECT_NEAR(Number(backText.substr(backText.find('(') + 1)), 100.0 * back / 150, 0.006)
      << backText;
  // 150 ions at 1e13 at/cm^2 over 100 A^2: 0.1 real ions in all.
  EXPECT_NEAR(Number(block["Real ions implanted"]), 0.1 * depths.size() / 150, 1e-5);
  EXPECT_EQ(block["Real ions transmitted"], "0 (0.00 %)");

  // The peak of the profile file, at its bin's depth.
  std::istringstream profile(ReadFile(dir.File("Dp.in/.Histo1D.01_01")));
  double peak = 0, peakDepth = 0;
  for (std::string line; std::getline(profile, line);) {
    if (line[0] == '#') continue;
    double depth, conc;
    std::istringstream(line) >> depth >> conc;
    if (conc > peak) peak = conc, peakDepth = depth;
  }
  const std::string peakText = block["Peak concentration"];
  EXPECT_NEAR(Number(peakText) / peak, 1.0, 1e-3) << peakText;
  EXPECT_NEAR(Number(peakText.substr(peakText.find(" at ") + 4)), peakDepth, 0.006) << peakText;
  EXPECT_GT(Number(block["Depth at 1e-3 of peak"]), mean);
  EXPECT_GE(Number(block["Depth at 1e-4 of peak"]), Number(block["Depth at 1e-3 of peak"]));
  EXPECT_EQ(block["Peak amorphization"], "0.00 %");
  EXPECT_NE(block["Wall time"].find(" ions/s"), std::string::npos);
  EXPECT_EQ(r.err.find("Warning"), std::string::npos) << r.err;
}

TEST(Summary, OneBlockPerSpeciesAndSimulationWithTheDamageOfDoseEffects) {
  TempDir dir;
  const RunResult r =
      RunFile(dir,
              "AmorphizationDensity 4.99e21 DoseRate 1e11 CteD 1\n"
              "ENERGY 20000 Tha 7 NumberOfImplants 20 Dose 2e15 Projectiles 1 2 0 NextSimulation\n"
              "Tha 0\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto blocks = SummaryBlocks(r.out);
  ASSERT_EQ(blocks.size(), 4u) << r.out;
  EXPECT_EQ(blocks[0].at("heading"), "# Summary of simulation 1, species 1 (B): 20 ions");
  EXPECT_EQ(blocks[1].at("heading"), "# Summary of simulation 1, species 2 (Si): 20 ions");
  EXPECT_EQ(blocks[2].at("heading"), "# Summary of simulation 2, species 1 (B): 20 ions");
  EXPECT_EQ(blocks[3].at("heading"), "# Summary of simulation 2, species 2 (Si): 20 ions");
  // Damage that survives grows: the peak amorphization is that of the last
  // line of the amorphization-versus-dose file.
  const double peak = Number(blocks[3].at("Peak amorphization"));
  EXPECT_EQ(blocks[2].at("Peak amorphization"), blocks[3].at("Peak amorphization"));
  EXPECT_GT(peak, 0.0);
  std::istringstream dat(ReadFile(dir.File("Dp.in/MaxAmorf_vs_Dose.dat")));
  double dose = 0, last = -1;
  for (std::string line; std::getline(dat, line);) std::istringstream(line) >> dose >> last;
  EXPECT_NEAR(peak, last, 0.006);
  // Constants that retain damage draw no warning, at any dose.
  EXPECT_EQ(r.err.find("Warning"), std::string::npos) << r.err;
}

TEST(Summary, AHighDoseWithTheInertDamageModelIsWarnedOfOnceAndChangesNothing) {
  TempDir dir;
  const RunResult r =
      RunFile(dir, "Tha 0 ENERGY 5000 NumberOfImplants 20 Dose 5e15 NextSimulation Dose 2e15\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string warning =
      "# Warning: Dose above 1e14 at/cm^2, but with these damage constants (CteD 1e-30) no "
      "damage is retained: no dose effects (see orvane --help)\n";
  const std::size_t at = r.err.find(warning);
  ASSERT_NE(at, std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(warning, at + 1), std::string::npos);
  const auto blocks = SummaryBlocks(r.out);
  ASSERT_EQ(blocks.size(), 2u);
  for (const auto& block : blocks) EXPECT_EQ(block.at("Peak amorphization"), "0.00 %");
  // The same ions at a low dose land at the same depths.
  TempDir low;
  const RunResult quiet = RunFile(low, "Tha 0 ENERGY 5000 NumberOfImplants 20 Dose 1e13\n");
  ASSERT_EQ(quiet.status, 0) << quiet.err;
  EXPECT_EQ(quiet.err.find("Warning"), std::string::npos) << quiet.err;
  const std::vector<FinalIon> high = FinalIons(r.out), base = FinalIons(quiet.out);
  ASSERT_EQ(base.size(), 20u);
  for (std::size_t i = 0; i < base.size(); ++i) EXPECT_EQ(high[i].depth, base[i].depth) << i;
  EXPECT_EQ(blocks[0].at("Mean depth"), SummaryBlocks(quiet.out)[0].at("Mean depth"));
}

TEST(Options, HelpAndVersionReadNoParameterFile) {
  TempDir dir;
  const RunResult help = RunOrvane(dir.Path(), "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  for (const char* text :
       {"Usage: orvane [--threads N] [--strict] [--quiet] parameter-file [mode]", "--threads N",
        "--strict", "--quiet",
        "--version", "TABLES3DDIR", "EDTDIR", "share/orvane/Tables", "CteD 1e-30", "CteD 1\n",
        "examples/b_dose_split_damage.in", "\n    0  success\n", "\n  300  ", "\n  605  ",
        "\n  607  ", "\n  609  ", "\n  610  ", "README.md"}) {
    EXPECT_NE(help.out.find(text), std::string::npos) << text;
  }
  const RunResult version = RunOrvane(dir.Path(), "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "[ORVANE] Orvane (Version 2004.10.04) DAMAGE1D\n");
  // No output directory was made: neither option is a parameter file.
  EXPECT_FALSE(FileExists(dir.File("D--help")));
  EXPECT_FALSE(FileExists(dir.File("D--version")));
}

namespace {

// The console of a run without the lines of its ions, their column header
// and the empty line before it.
std::string WithoutIonLines(const std::string& out) {
  std::istringstream is(out);
  std::string kept;
  for (std::string line; std::getline(is, line);) {
    if (line.rfind("    Ion      Depth (nm)", 0) == 0) {
      kept.pop_back();  // the empty line before the header
      continue;
    }
    if (!FinalIons(line).empty() || line.rfind(" ------", 0) == 0) continue;
    kept += line + "\n";
  }
  return kept;
}

// The text with every occurrence of the directory's path replaced by "DIR".
std::string WithoutPath(std::string text, const TempDir& dir) {
  for (std::size_t at; (at = text.find(dir.Path())) != std::string::npos;) {
    text.replace(at, dir.Path().size(), "DIR");
  }
  return text;
}

}  // namespace

TEST(Summary, QuietLeavesOutTheIonLinesAndNothingElse) {
  const char* const parameters =
      "ENERGY 3000 Tha 7 NumberOfImplants 30 NextSimulation Tha 0 Projectiles 1 2 0\n";
  TempDir loud, quiet;
  WriteFile(loud.File("p.in"), parameters);
  WriteFile(quiet.File("p.in"), parameters);
  const RunResult all = RunOrvane(loud.Path(), "p.in", TablesEnvironment(loud));
  const RunResult some = RunOrvane(quiet.Path(), "p.in --quiet", TablesEnvironment(quiet));
  ASSERT_EQ(all.status, 0) << all.err;
  ASSERT_EQ(some.status, 0) << some.err;
  ASSERT_EQ(FinalIons(all.out).size(), 30u + 60u);
  EXPECT_TRUE(FinalIons(some.out).empty()) << some.out;
  EXPECT_EQ(some.out.find("    Ion      Depth (nm)"), std::string::npos);
  auto expected = Results(loud, all);
  auto actual = Results(quiet, some);
  // The same summaries and every other line, the same files.
  EXPECT_EQ(WithoutPath(actual.at("<stdout>"), quiet),
            WithoutPath(WithoutIonLines(expected.at("<stdout>")), loud));
  ASSERT_EQ(SummaryBlocks(some.out).size(), 3u);
  expected.erase("<stdout>");
  actual.erase("<stdout>");
  ExpectSameResults(expected, actual, "--quiet");
  EXPECT_EQ(WithoutPath(some.err, quiet), WithoutPath(all.err, loud));
}

namespace {

struct ProfileLines {
  std::vector<double> header, depth, conc;
};

// The header numbers and the first two columns of a profile file.
ProfileLines ReadProfileLines(const std::string& path) {
  ProfileLines p;
  std::istringstream in(ReadFile(path));
  std::string line;
  std::getline(in, line);
  std::istringstream header(line.substr(1));
  for (double value; header >> value;) p.header.push_back(value);
  while (std::getline(in, line)) {
    if (line[0] == '#') continue;
    double depth, conc;
    std::istringstream(line) >> depth >> conc;
    p.depth.push_back(depth);
    p.conc.push_back(conc);
  }
  return p;
}

// Where the lines between the points fall below the level for good, 0
// after the last point.
double FallsBelow(const ProfileLines& p, double level) {
  const double width = p.depth[1] - p.depth[0];
  std::size_t last = p.conc.size() - 1;
  while (p.conc[last] < level) --last;
  const double next = last + 1 < p.conc.size() ? p.conc[last + 1] : 0.0;
  return p.depth[last] + (p.conc[last] - level) / (p.conc[last] - next) * width;
}

}  // namespace

// A simulation run in dose pieces is summed up as a whole from its joined
// file, whose header is that of the whole dose.
TEST(Summary, TheWholeDoseOfDosePiecesAgainstTheJoinedFile) {
  TempDir dir;
  WriteFile(dir.File("p.in"),
            "AmorphizationDensity 4.99e21 DoseRate 1e11 CteD 1 Background 1e18\n"
            "ENERGY 5000 Tha 7 NumberOfImplants 60 Dose 1e15 DoseSplitting On\n");
  const RunResult r = RunOrvane(dir.Path(), "--quiet p.in", TablesEnvironment(dir));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto blocks = SummaryBlocks(r.out);
  ASSERT_EQ(blocks.size(), 3u) << r.out;
  auto whole = blocks[2];
  EXPECT_EQ(whole["heading"],
            "# Summary of the whole dose of simulations 1 to 2 (Histo1D.01_01), species 1 (B): "
            "120 ions");
  EXPECT_EQ(whole["Implant"],
            "B at 5000 eV, tilt 7 deg, twist 0 deg, dose 1e+15 at/cm^2, 120 ions in 2 dose "
            "pieces");

  const ProfileLines joined = ReadProfileLines(dir.File("Dp.in/Histo1D.01_01"));
  const ProfileLines first = ReadProfileLines(dir.File("Dp.in/.Histo1D.01_01"));
  const ProfileLines second = ReadProfileLines(dir.File("Dp.in/.Histo1D.02_01"));
  ASSERT_EQ(joined.header.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(joined.header[i], first.header[i] + second.header[i],
                1e-5 * std::fabs(joined.header[i]))
        << i;
  }
  EXPECT_EQ(joined.header[0], 120);  // trajectories
  EXPECT_NEAR(joined.header[1], 10.0, 1e-9);  // real ions: 1e15 over 100 A^2

  const double width = joined.depth[1] - joined.depth[0];  // nm
  double held = 0, first_moment = 0, peak = 0, peakDepth = 0;
  for (std::size_t i = 0; i < joined.conc.size(); ++i) {
    held += joined.conc[i];
    first_moment += (i + 0.5) * width * joined.conc[i];
    if (joined.conc[i] > peak) peak = joined.conc[i], peakDepth = joined.depth[i];
  }
  const double dose = held * width * 1e-7;
  const std::string doseText = whole["Dose in the profile"];
  EXPECT_NEAR(Number(doseText) / dose, 1.0, 1e-3) << doseText;
  EXPECT_NEAR(Number(doseText.substr(doseText.find('(') + 1)), dose / 1e13, 0.006) << doseText;
  EXPECT_NEAR(Number(whole["Mean depth"]), first_moment / held, 0.006);
  const std::string peakText = whole["Peak concentration"];
  EXPECT_NEAR(Number(peakText) / peak, 1.0, 1e-3) << peakText;
  EXPECT_NEAR(Number(peakText.substr(peakText.find(" at ") + 4)), peakDepth, 0.006) << peakText;
  const std::string junction = whole["Junction depth"];
  EXPECT_NEAR(Number(junction), FallsBelow(joined, 1e18), 0.006) << junction;
  EXPECT_NE(junction.find("at the background 1e+18 at/cm^3"), std::string::npos) << junction;
  EXPECT_NE(whole["Pearson IV peak"].find(" at/cm^3 at "), std::string::npos);

  // Each piece's junction against its own profile file.
  EXPECT_NEAR(Number(blocks[0].at("Junction depth")), FallsBelow(first, 1e18), 0.006);
  EXPECT_NE(ReadFile(dir.File("Dp.in/Parameters.out")).find("Background"), std::string::npos);
}

TEST(Summary, WithoutBackgroundNoJunctionAndNoEcho) {
  TempDir dir;
  const RunResult r = RunFile(dir, "ENERGY 3000 NumberOfImplants 20\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto blocks = SummaryBlocks(r.out);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].count("Junction depth"), 0u);
  EXPECT_EQ(blocks[0].count("Pearson IV peak"), 1u);
  EXPECT_EQ(ReadFile(dir.File("Dp.in/Parameters.out")).find("Background"), std::string::npos);
  const RunResult negative = RunFile(dir, "Background -1\n");
  EXPECT_EQ(negative.status, 606 & 0xFF);
  EXPECT_NE(negative.err.find("Background must not be negative"), std::string::npos);
}
