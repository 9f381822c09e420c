#include "run/exit_statuses.h"

namespace orvane {

const ExitStatus kExitStatuses[] = {
    {0, "success"},
    {130, "interrupted by SIGINT; the results of the ions done so far are written"},
    {143, "interrupted by SIGTERM; the results of the ions done so far are written"},
    {300, "a file to read cannot be opened or is unusable, or a table cannot be written"},
    {301, "an output or binary table file cannot be created or written"},
    {302, "memory exhausted"},
    {303, "an electron density table is unusable"},
    {401, "more than 30 basis atoms in a crystal"},
    {402, "rare-event request negative or beyond 20 split depths"},
    {403, "no weight in a 3-D tally"},
    {404, "more than 10 elements"},
    {405, "a particle lies in no layer"},
    {406, "the dose-splitting join finds a group without its last piece"},
    {407, "a collision look-up outside the tabulated energies or impact parameters"},
    {408, "a layer cannot be built"},
    {500, "the second axis of the implant frame (FLAT) cannot be completed"},
    {501, "a dose distribution exceeds the simulation's dose"},
    {502, "unknown stopping model name"},
    {503, "unknown ionization model name"},
    {600, "parameter file: a text value is not closed"},
    {601, "parameter file: a list has too many numbers"},
    {602, "parameter file: a switch is not On/Off, Yes/No or 1/0"},
    {603, "parameter file: the value of a keyword is not a number"},
    {604, "parameter file: a word or a text value is longer than its buffer"},
    {605, "parameter file: an Atom, SpecificPotential or Projectiles value out of limits"},
    {606, "parameter file: a value the run cannot use (ENERGY, Dose, ... not positive, ...)"},
    {607, "command line: --threads not 0..1024, an unknown or repeated option, a third argument"},
    {608, "cluster job: several processes without --threads, or a follower without its directory"},
    {609, "parameter file refused under --strict: a mistyped keyword, a unit after a number, ..."},
    {610, "another run is writing into the output directory"},
};

const int kExitStatusCount = sizeof kExitStatuses / sizeof kExitStatuses[0];

}  // namespace orvane
