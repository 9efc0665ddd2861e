"""What every test of the Python module shares: the command line it is compared with, the
sample scans, and a fresh program folder per test."""

import os
import pathlib
import subprocess

import pytest

SOURCE_DIR = pathlib.Path(os.environ.get("S2T_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
EXAMPLES = SOURCE_DIR / "examples"
CHANNEL_FILES = sorted(EXAMPLES.glob("*.chn"))
GUFI_FILES = sorted(EXAMPLES.glob("*.guf"))


def cli_path():
    path = os.environ.get("S2T_CLI")
    if not path:
        pytest.fail("S2T_CLI names the command line to compare with (ctest sets it)")
    return path


def run_cli(*arguments, check=True):
    """Runs the command line; returns (status, standard output, standard error) as text."""
    done = subprocess.run([cli_path(), *map(str, arguments)], capture_output=True, text=True)
    if check and done.returncode != 0:
        pytest.fail(f"scan2theta {' '.join(map(str, arguments))} failed ({done.returncode}): {done.stderr}")
    return done.returncode, done.stdout, done.stderr


@pytest.fixture
def home(tmp_path):
    """A program folder whose Default.pre exists, as after the first start of any of the programs."""
    folder = tmp_path / "home"
    run_cli("calibration", "show", "--home", folder)
    return folder


def table(path_or_text, skip=1):
    """The tab-separated values of a text output, as text, without its header line."""
    text = path_or_text if isinstance(path_or_text, str) else path_or_text.read_text()
    return [line.split("\t") for line in text.splitlines()[skip:]]
