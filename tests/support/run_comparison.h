// Comparing whole runs: every file a run leaves and its console, and the
// parameter files of the runs that must come out the same however the ions
// are shared among threads and processes.
#pragma once

#include <map>
#include <string>

#include "support/test_support.h"

namespace orvane_test {

// Dose pieces with damage and followed recoils: the damage of each batch
// acts on the next batch and on the second piece.
extern const char* const kDosePiecesWithDamage;
// Rare-event splitting every 10 ions through an amorphous oxide over
// crystalline silicon, with the ions' coordinates written.
extern const char* const kRareEventsThroughTwoLayers;

// Partners drawn from the density of an amorphous oxide and of a crystal
// that the damage of dose pieces amorphizes, with followed recoils.
extern const char* const kSampledPartnersWithDamage;

// "summary.json" without what differs between runs of one parameter file
// that give the same results: the command line, the threads and
// processes, the wall times and rates.
std::string ComparableSummary(const std::string& summaryJson);

// Every file that a run leaves in its directory, by its path there
// ("summary.json" as ComparableSummary gives it), and the console without
// its wall-clock figures as "<stdout>".
std::map<std::string, std::string> Results(const TempDir& dir, const RunResult& run);

// Expects the same files with the same contents, naming the first line
// that differs; label says which run is compared.
void ExpectSameResults(const std::map<std::string, std::string>& expected,
                       const std::map<std::string, std::string>& actual, const std::string& label);

}  // namespace orvane_test
