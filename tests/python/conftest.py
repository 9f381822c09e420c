"""What the Python tests share: the program, and a copy of the tables that
the README's test command prepared (build/test-tables)."""

import os
import pathlib
import shutil
import subprocess

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
BINARY = pathlib.Path(os.environ.get("ORVANE_BINARY", ROOT / "build" / "orvane"))
PREPARED_TABLES = pathlib.Path(os.environ.get("ORVANE_TEST_TABLES", ROOT / "build" / "test-tables"))


@pytest.fixture(scope="session")
def tables(tmp_path_factory):
    """A table directory of the session's own, as a prefix ending with "/"."""
    assert PREPARED_TABLES.is_dir(), f"no prepared tables in {PREPARED_TABLES}: run the tests first"
    own = tmp_path_factory.mktemp("tables") / "tables"
    shutil.copytree(PREPARED_TABLES, own)
    return str(own) + "/"


def run_program(directory, parameter_file, tables, *options):
    """Runs the program on the parameter file in the directory; returns the
    finished process with its standard output and error as text."""
    environment = dict(os.environ, TABLES3DDIR=tables, EDTDIR=tables)
    return subprocess.run([str(BINARY), *options, str(parameter_file)], cwd=directory,
                          env=environment, capture_output=True, text=True, check=False)
