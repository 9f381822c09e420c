"""The module orvane: runs in the interpreter's process that give the
program's files, results read back, failures and interruptions."""

import filecmp
import json
import os
import signal
import threading
import time

import numpy as np
import pytest

import orvane
from conftest import run_program

# Damage, recoils and rare events in a few ions.
PARAMETERS = """ENERGY 4000 Tha 7 NumberOfImplants 30 Dose 1e14 RareEvent 1 REInterval 10
PearsonIV On ASCII On AmorphizationDensity 4.99e21 DisplacementEnergy 15 CteD 1
"""


def without_timings(path):
    """summary.json without what differs between two runs of one file."""
    summary = json.loads(path.read_text())
    for key in ["command_line", "parameter_file", "threads", "threads_used", "output_directory"]:
        del summary[key]
    for simulation in summary["simulations"]:
        for species in simulation["species"]:
            del species["figures"]["wall_time"], species["figures"]["ion_rate"]
    return summary


def test_a_run_in_python_writes_the_files_of_the_program_and_reads_back_equal(
        tmp_path, tables, monkeypatch):
    (tmp_path / "p.in").write_text(PARAMETERS)
    cli = tmp_path / "cli"
    cli.mkdir()
    assert run_program(cli, tmp_path / "p.in", tables).returncode == 0
    monkeypatch.chdir(tmp_path)
    # Twice on the one random stream: the second run of the process starts
    # afresh as the program does.
    results = []
    for directory in ["first", "second"]:
        results.append(orvane.run(tmp_path / "p.in", directory=directory, threads=None,
                                  tables=tables, densities=tables))
        written = sorted(os.listdir(directory))
        assert written == sorted(os.listdir(cli / "Dp.in"))
        for name in written:
            if name == "summary.json":
                assert without_timings(tmp_path / directory / name) == \
                    without_timings(cli / "Dp.in" / name)
            else:
                assert filecmp.cmp(cli / "Dp.in" / name, tmp_path / directory / name,
                                   shallow=False), name

    loaded = orvane.load(cli / "Dp.in")
    assert loaded == results[0] == results[1]
    boron = loaded.simulations[0].species["B"]
    assert boron.depth.shape == boron.concentration.shape == boron.error.shape == (100,)
    assert np.all(np.diff(boron.depth) > 0) and boron.concentration.max() > 0
    assert boron.figures["mean_depth"] > 0 and boron.units["mean_depth"] == "nm"
    assert loaded.damage.amorphization.max() > 0
    # The arrays are those of the profile file, with the file's error band.
    table = np.loadtxt(cli / "Dp.in" / ".Histo1D.01_01")
    np.testing.assert_array_equal(boron.concentration, table[:, 1])
    np.testing.assert_allclose(boron.concentration - boron.error, table[:, 2], rtol=1e-5,
                               atol=1e-5 * table[:, 1].max())


def test_errors_carry_the_status_and_the_interpreter_goes_on(tmp_path, tables, monkeypatch):
    monkeypatch.chdir(tmp_path)
    for text, status in [("ENERGY three\n", 603), ("ENERGY 0\n", 606),
                         ("HSTFile[ never closed\n", 600), ("no_such_file.in", 300)]:
        with pytest.raises(orvane.Error) as failure:
            orvane.run(text, tables=tables, densities=tables)
        assert failure.value.status == status
        assert failure.value.message.startswith("# Error")
    with pytest.raises(orvane.Error) as failure:
        orvane.run("ENERGY 2000\n", threads=7000, tables=tables, densities=tables)
    assert failure.value.status == 607
    result = orvane.run("ENERGY 2000 NumberOfImplants 5\n", threads=2, tables=tables,
                        densities=tables, quiet=True)
    assert result.status == 0 and result.simulations[0].ions_done == 5
    assert result.directory == str(tmp_path / "Dparameters.in")
    assert result.summary["command_line"][1:4] == ["--threads", "2", "--quiet"]


def test_an_interrupted_run_returns_the_ions_done_and_the_next_run_is_whole(
        tmp_path, tables, monkeypatch):
    monkeypatch.chdir(tmp_path)
    # Python's own handler, even where the tests were started with SIGINT
    # ignored (a background job), which a run would keep ignoring.
    previous = signal.signal(signal.SIGINT, signal.default_int_handler)
    ions = tmp_path / "Dparameters.in" / "MaxAmorf_vs_Dose.dat"

    def interrupt_after_some_ions():
        for _ in range(600):
            if ions.exists() and ions.read_text().count("\n") >= 20:
                break
            time.sleep(0.05)
        os.kill(os.getpid(), signal.SIGINT)

    sender = threading.Thread(target=interrupt_after_some_ions)
    sender.start()
    with pytest.raises(KeyboardInterrupt) as stop:
        orvane.run("ENERGY 2000 NumberOfImplants 20000\n", threads=None, tables=tables,
                   densities=tables)
    sender.join()
    result = stop.value.result
    assert result.status == 130
    done = result.simulations[0].ions_done
    assert 20 <= done < 20000
    assert result.summary["simulations"][0]["inputs"]["ions"] == 20000
    assert result.simulations[0].species["B"].concentration.sum() > 0
    # Python's own handler is back, and a run after the interruption runs
    # all its ions.
    assert signal.getsignal(signal.SIGINT) is signal.default_int_handler
    again = orvane.run("ENERGY 2000 NumberOfImplants 40\n", tables=tables, densities=tables)
    signal.signal(signal.SIGINT, previous)
    assert again.status == 0 and again.simulations[0].ions_done == 40
