"""examples/notebook.py runs whole, and its XFIT file is the command line's with the calibration
it saved."""

import os
import subprocess
import sys

import pytest

from conftest import EXAMPLES, run_cli


def test_the_notebook_writes_its_plot_and_the_command_lines_xfit_file(tmp_path, home):
    pytest.importorskip("matplotlib")
    out = tmp_path / "notebook"
    done = subprocess.run([sys.executable, EXAMPLES / "notebook.py", out], capture_output=True, text=True,
                          env=dict(os.environ, MPLCONFIGDIR=str(tmp_path / "mpl")))
    assert done.returncode == 0, done.stderr
    assert "from 8 reflections" in done.stdout
    assert (out / "si-standard.png").read_bytes().startswith(b"\x89PNG")
    run_cli("convert", "--home", home, "-q", "-f", "xfit", "-s", "0.02", "--options", out / "silicon.pre",
            "-o", tmp_path / "cli.dat", EXAMPLES / "si-standard.chn")
    assert (out / "si-standard.dat").read_bytes() == (tmp_path / "cli.dat").read_bytes()
