#include "run/command_line.h"

#include <cstdio>
#include <cstring>
#include <ostream>

#include "run/exit_statuses.h"

namespace orvane {

const char kVersionLine[] = "[ORVANE] Orvane (Version 2004.10.04) DAMAGE1D";

namespace {

const char kUsage[] =
    "Usage: orvane parameter-file [mode]\n"
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
  out << kUsage;
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

}  // namespace orvane
