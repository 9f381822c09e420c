#include "run/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "core/fatal.h"
#include "run/exit_statuses.h"

namespace orvane {

const char kVersionLine[] = "[ORVANE] Orvane (Version 2004.10.04) DAMAGE1D";

namespace {

const char kSynopsis[] = "orvane [--threads N] [--strict] [--quiet] parameter-file [mode]";

const char kUsage[] =
    "       orvane --help | --version\n"
    "\n"
    "Monte Carlo simulation of ion implantation into crystalline, polycrystalline\n"
    "and amorphous multilayer targets, in the binary collision approximation.\n"
    "\n"
    "  parameter-file  the keywords of the elements, the target layers and the\n"
    "                  simulations; the results go to the directory D<file name>\n"
    "                  in the working directory (see examples/)\n"
    "  mode            when present and not 0, no ion is simulated: the stored\n"
    "                  results are plotted instead\n"
    "  --threads N     share the ions among N threads (0: one per core); each ion\n"
    "                  draws from random streams of its own, and the results are\n"
    "                  the same for every N (but not those of a run without the\n"
    "                  option, which draws every ion from one stream)\n"
    "  --strict        refuse the parameter file (status 609) for what is otherwise\n"
    "                  a warning: a word that reads as a mistyped keyword, a unit\n"
    "                  or other text after a keyword's number, no keyword at all\n"
    "  --quiet         no line per ion on standard output; the summaries, the\n"
    "                  warnings and the errors stay\n"
    "  --help          this text\n"
    "  --version       the version line\n"
    "\n"
    "Environment (prefixes, so end them with '/'):\n"
    "  TABLES3DDIR     scattering and stopping tables, default ./Tables/\n"
    "  EDTDIR          electron densities, default ./Tables/; an installed orvane\n"
    "                  reads the shipped densities N01.den .. N102.den missing there\n"
    "                  from <prefix>/share/orvane/Tables/\n"
    "Tables that a run generates are written under these prefixes and reused.\n"
    "\n"
    "Dose effects: with the default survival constants of the damage model\n"
    "(CteD 1e-30) no damage is retained at any dose, so a profile does not change\n"
    "with Dose and the target stays 0 % amorphous. To switch dose effects on, add\n"
    "the constants of examples/b_dose_split_damage.in:\n"
    "    AmorphizationDensity 4.99e21 DisplacementEnergy 15 DoseRate 1e11 CteD 1\n"
    "\n"
    "Exit statuses (a shell shows them modulo 256):\n";

const char kReadme[] =
    "\nMore in README.md, at the top of the source tree and installed as\n"
    "<prefix>/share/doc/orvane/README.md.\n";

}  // namespace

void WriteHelp(std::ostream& out) {
  out << "Usage: " << kSynopsis << '\n' << kUsage;
  for (int i = 0; i < kExitStatusCount; ++i) {
    char line[160];
    std::snprintf(line, sizeof line, "  %3d  %s\n", kExitStatuses[i].Code,
                  kExitStatuses[i].Meaning);
    out << line;
  }
  out << kReadme;
}

bool AnswerOption(int argc, char** argv, std::ostream& out) {
  if (argc < 2) return false;
  if (std::strcmp(argv[1], "--help") == 0) {
    WriteHelp(out);
    return true;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    out << kVersionLine << '\n';
    return true;
  }
  return false;
}

namespace {

[[noreturn]] void BadThreads(const char* value) {
  Fatal(kBadThreadsStatus, std::string("# Error: --threads needs a whole number from 0 (one thread "
                                       "per core) to ") +
                               std::to_string(kMaxThreads) + ", not '" + value + "'\n");
}

int ThreadsValue(const char* value) {
  char* end = nullptr;
  errno = 0;
  const long threads = std::strtol(value, &end, 10);
  if (end == value || *end != '\0' || errno != 0 || threads < 0 || threads > kMaxThreads) {
    BadThreads(value);
  }
  return static_cast<int>(threads);
}

constexpr int kMostArguments = 2;  // the parameter file and the mode

[[noreturn]] void BadCommandLine(const std::string& text) {
  Fatal(kBadThreadsStatus,
        "# Error: " + text + "\nUsage: " + kSynopsis + " (more: orvane --help)\n");
}

}  // namespace

CommandLine ReadCommandLine(int argc, char** argv) {
  CommandLine line;
  bool threadsGiven = false;
  line.Arguments.push_back(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--threads") {
      if (threadsGiven) BadCommandLine("--threads is given twice");
      line.Threads = ThreadsValue(i + 1 < argc ? argv[++i] : "");
      threadsGiven = true;
    } else if (argument == "--strict") {
      if (line.Strict) BadCommandLine("--strict is given twice");
      line.Strict = true;
    } else if (argument == "--quiet") {
      if (line.Quiet) BadCommandLine("--quiet is given twice");
      line.Quiet = true;
    } else if (argument == "--help" || argument == "--version") {
      BadCommandLine(argument + " answers alone, as the first argument");
    } else if (argument.rfind("--", 0) == 0) {
      BadCommandLine("unknown option '" + argument + "'");
    } else if (static_cast<int>(line.Arguments.size()) > kMostArguments) {
      BadCommandLine("one argument too many, '" + argument + "'");
    } else {
      line.Arguments.push_back(argv[i]);
    }
  }
  line.Arguments.push_back(nullptr);
  return line;
}

}  // namespace orvane
