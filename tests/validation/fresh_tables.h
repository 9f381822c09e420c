// Helpers of the validation runs: a run of the binary with a table
// directory of its own, made from the shipped densities, and the figures
// that a verbose run reports.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace orvane_test {

// The number after "<label> = " in the console ("Effective density",
// "Theorical density", ...), or 0 when the label is missing.
inline double Reported(const std::string& out, const std::string& label) {
  const std::size_t at = out.find(label);
  if (at == std::string::npos) return 0.0;
  const std::size_t equals = out.find('=', at);
  return equals == std::string::npos ? 0.0 : std::atof(out.c_str() + equals + 1);
}

// The atoms met per unit path against the layer's atomic density, from a
// verbose run.
inline double DensityRatio(const std::string& out) {
  const double atomic = Reported(out, "Theorical density");
  return atomic > 0.0 ? Reported(out, "Effective density") / atomic : 0.0;
}

// Runs the parameters in the run directory on the tables of the table
// directory, which starts with the shipped densities only.
inline RunResult RunWithFreshTables(const TempDir& tablesDir, const TempDir& runDir,
                                    const std::string& parameters) {
  const std::string tables = tablesDir.Path() + "/";
  for (const auto& entry : std::filesystem::directory_iterator(ShippedDensityDir())) {
    std::filesystem::copy(entry.path(), tables + entry.path().filename().string(),
                          std::filesystem::copy_options::skip_existing);
  }
  return RunFile(runDir, parameters, "TABLES3DDIR=" + tables + " EDTDIR=" + tables);
}

// "damage.dat" in the directory: a previous damage profile whose every
// cell lies beyond the amorphization density (0.005 defects per cubic
// angstrom), so that a crystal meets the ions amorphized everywhere.
inline void WriteAmorphizedDamage(const TempDir& dir) {
  std::string damage = "# 0 10000 100\n";
  for (int cell = 0; cell < 100; ++cell) damage += std::to_string(cell * 100.0) + " 0.006 120\n";
  WriteFile(dir.File("damage.dat"), damage);
}

class FreshTables {
 protected:
  RunResult RunWithOwnTables(const std::string& parameters) {
    return RunWithFreshTables(tablesDir, runDir, parameters);
  }
  TempDir tablesDir, runDir;
};

}  // namespace orvane_test
