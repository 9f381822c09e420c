"""Orvane, the Monte Carlo ion-implantation simulator, from Python.

    import orvane
    result = orvane.run("b5keV_si100.in", threads=0)
    boron = result.simulations[0].species["B"]
    boron.depth, boron.concentration, boron.error   # NumPy arrays
    boron.figures["mean_depth"]                     # nm

run() runs the simulator in this process and writes its results where the
program writes them; load() reads the results of any earlier run from its
"summary.json" and profile files.
"""

import json
import os
import signal
import tempfile

import numpy as np

from . import _orvane

__all__ = ["run", "load", "Result", "Simulation", "Species", "Damage", "Error", "Interrupted"]

SUMMARY = "summary.json"
# The isolated-atom densities that "cmake --install" puts beside the package:
# <prefix>/share/orvane/Tables/ for <prefix>/lib/pythonX.Y/dist-packages/orvane.
_INSTALLED_DENSITIES = os.path.join(os.path.dirname(os.path.abspath(__file__)), *[".."] * 4,
                                    "share", "orvane", "Tables")
if os.path.isdir(_INSTALLED_DENSITIES):
    _orvane.set_installed_densities(os.path.normpath(_INSTALLED_DENSITIES) + "/")

# Figures that differ from run to run of the same parameter file.
_TIMINGS = ("wall_time", "ion_rate")


class Error(Exception):
    """A run that failed as the program fails: status is the program's exit
    status (603 for a value that is not a number, ...), message its text."""

    def __init__(self, status, message):
        super().__init__(f"status {status}: {message.strip()}")
        self.status = status
        self.message = message


class Interrupted(KeyboardInterrupt):
    """A run stopped by SIGINT (Ctrl-C) or SIGTERM: the results of the ions
    done are written, and result holds them."""

    def __init__(self, result):
        name = signal.Signals(result.status - 128).name
        super().__init__(f"run interrupted by {name}; the ions done are in {result.directory}")
        self.result = result


class Species:
    """One tracked species of one simulation: the depth profile (depth in nm
    at the bins' lower edges, concentration in at/cm^3 and its error), the
    figures of its summary block (None where the ions cannot give one, the
    reason in reasons) with their units, and its result files."""

    def __init__(self, record, directory):
        self.number = record["species"]
        self.symbol = record["symbol"]
        figures = record["figures"]
        self.figures = {key: f["value"] for key, f in figures.items()}
        self.units = {key: f["unit"] for key, f in figures.items()}
        self.reasons = {key: f["reason"] for key, f in figures.items() if "reason" in f}
        self.files = dict(record["files"])
        self.depth, self.concentration, self.error = _read_profile(directory, self.files)

    def __eq__(self, other):
        same = {k: v for k, v in self.figures.items() if k not in _TIMINGS}
        theirs = {k: v for k, v in other.figures.items() if k not in _TIMINGS}
        return (self.number, self.symbol, same, self.files) == (
            other.number, other.symbol, theirs, other.files) and _same_arrays(
                (self.depth, self.concentration, self.error),
                (other.depth, other.concentration, other.error))

    def __repr__(self):
        return f"<orvane.Species {self.symbol} ({self.number}), {len(self.depth)} bins>"


class Simulation:
    """One simulation: its number, its group of dose pieces, its inputs (ion,
    energy_eV, tilt_deg, twist_deg, dose_per_cm2, ions, ...), the ions done
    and its species by symbol."""

    def __init__(self, record, directory):
        self.number = record["number"]
        self.group = record["group"]
        self.inputs = dict(record["inputs"])
        self.implant = record["implant"]
        self.ions_done = record["ions_done"]
        self.species = {s["symbol"]: Species(s, directory) for s in record["species"]}

    def __eq__(self, other):
        return (self.number, self.group, self.inputs, self.implant, self.ions_done,
                self.species) == (other.number, other.group, other.inputs, other.implant,
                                  other.ions_done, other.species)

    def __repr__(self):
        return f"<orvane.Simulation {self.number}: {self.implant}>"


class Damage:
    """The damage profile at the end of the run ("Amorph1D.dat"): depth in
    nm, defects per cubic angstrom and amorphization in percent."""

    def __init__(self, path):
        table = np.loadtxt(path, comments="#", ndmin=2)
        self.depth, self.defects, self.amorphization = table[:, 0], table[:, 1], table[:, 2]

    def __eq__(self, other):
        return _same_arrays((self.depth, self.defects, self.amorphization),
                            (other.depth, other.defects, other.amorphization))


class Result:
    """The results of a run: its output directory, its status (0, or 128 plus
    the signal that interrupted it), summary (the whole of "summary.json" as
    a dict), its simulations and the damage profile (None without one).
    Two results are equal when they hold the same results, whatever their
    directories, command lines and wall times."""

    def __init__(self, directory):
        self.directory = os.path.abspath(directory)
        with open(os.path.join(self.directory, SUMMARY), encoding="utf-8") as f:
            self.summary = json.load(f)
        self.status = self.summary["status"]
        self.simulations = [Simulation(s, self.directory) for s in self.summary["simulations"]]
        damage = self.summary["files"].get("damage")
        self.damage = Damage(os.path.join(self.directory, damage)) if damage else None

    def __eq__(self, other):
        same = ("version", "seeds", "status", "warnings", "layers", "files")
        return (all(self.summary[k] == other.summary[k] for k in same)
                and self.simulations == other.simulations and self.damage == other.damage)

    def __repr__(self):
        return (f"<orvane.Result {self.directory}: {len(self.simulations)} simulations, "
                f"status {self.status}>")


def _same_arrays(ours, theirs):
    return all(np.array_equal(a, b) for a, b in zip(ours, theirs))


def _read_profile(directory, files):
    """The profile file's 100 bins: depth, concentration and the error, the
    half width of the band that the file gives."""
    if "profile" not in files:
        empty = np.zeros(0)
        return empty, empty, empty
    table = np.loadtxt(os.path.join(directory, files["profile"]), comments="#", ndmin=2)
    return table[:, 0], table[:, 1], table[:, 3] - table[:, 1]


def load(directory):
    """The results of an earlier run (of the program or of run()) from the
    output directory: its "summary.json" and its profile files."""
    return Result(directory)


def _is_path(parameters):
    """A path, or a file's text: a word without blanks that names no file
    is a path all the same, which the reader then refuses (status 300)."""
    if isinstance(parameters, os.PathLike) or os.path.isfile(parameters):
        return True
    return len(parameters.split()) == 1


def run(parameters, directory=None, threads=0, tables=None, densities=None, quiet=False):
    """Runs a parameter file in this process and returns its Result.

    parameters: the path of a parameter file, or its text (any string with
    blanks that names no file).  The results go
    where the program writes them, "D" and the file's name in the working
    directory, or to directory when it is given; text is read as a file
    named "parameters.in" (results in "Dparameters.in").
    threads: as "--threads": 0 for one thread per core, None for the one
    random stream of a run without the option.
    tables, densities: table directories (prefixes ending with "/") that
    stand for TABLES3DDIR and EDTDIR.
    quiet: as "--quiet", leaves out the line of every ion on standard output.

    A failure raises Error with the program's status and message; Ctrl-C
    (SIGINT) or SIGTERM stops the run after the ion in hand and raises
    Interrupted, a KeyboardInterrupt whose result holds the ions done."""
    with tempfile.TemporaryDirectory(prefix="orvane-") as scratch:
        if _is_path(parameters):
            path = os.fspath(parameters)
        else:
            path = os.path.join(scratch, "parameters.in")
            with open(path, "w", encoding="utf-8") as f:
                f.write(parameters)
        if directory is None:
            directory = "D" + os.path.basename(path)
        words = ["orvane.run"] + ([] if threads is None else ["--threads", str(threads)])
        words += ["--quiet"] if quiet else []
        status, message = _orvane.run(words + [path], os.fspath(directory), tables or "",
                                      densities or "")
    if message:
        raise Error(status, message)
    result = load(directory)
    if status != 0:
        raise Interrupted(result)
    return result
