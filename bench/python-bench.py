#!/usr/bin/python3
"""Times the Python module against what it replaces:
  - Calibration.two_theta on 10**7 channels against the numpy expression C * x + K (the same
    values to the last bit), for float64 channels and for int64 channels;
  - scan2theta.convert against the command line on the same batch (200 channel files of 4096
    channels to text, and to XFIT with the spline calibration and spline resampling), with -j 1 and
    with one job per core; the files are compared byte for byte.
Each pair is timed in turns; prints the best and the median of RUNS runs of each, and the machine's load before and after.

Usage: PYTHONPATH=build/python bench/python-bench.py [BUILD_DIR]   (default: build/ beside bench/)
Environment: RUNS (15), FILES (200), CHANNELS (10000000)
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

here = Path(__file__).resolve().parent
build = Path(sys.argv[1] if len(sys.argv) > 1 else here.parent / "build").resolve()
sys.path.insert(0, str(build / "python"))
import scan2theta  # noqa: E402

runs = int(os.environ.get("RUNS", "15"))
files = int(os.environ.get("FILES", "200"))
channels = int(os.environ.get("CHANNELS", "10000000"))
cli = build / "scan2theta"


def timed_in_turns(reference, candidate, repeat=runs):
    """Both actions timed in turns, so that a slow spell of the machine falls on both alike;
    (best, median) of each."""
    times = ([], [])
    for _ in range(repeat):
        for action, kept in zip((reference, candidate), times):
            start = time.perf_counter()
            action()
            kept.append(time.perf_counter() - start)
    return [(min(t), statistics.median(t)) for t in times]


def report(name, best_median, reference=None):
    best, median = best_median
    line = f"{name:<62} best {best * 1000:9.2f} ms   median {median * 1000:9.2f} ms"
    if reference:
        line += f"   ratio of medians {median / reference[1]:5.2f}"
    print(line)


def mapping():
    calibration = scan2theta.Calibration.builtin()
    K, C = calibration.K, calibration.C
    for dtype in (np.float64, np.int64):
        x = np.arange(channels, dtype=dtype)
        ours = calibration.two_theta(x)
        theirs = C * x + K
        assert np.array_equal(ours, theirs), "the mapping must give numpy's values"
        del ours, theirs
        reference, ours = timed_in_turns(lambda: C * x + K, lambda: calibration.two_theta(x))
        report(f"numpy C * x + K, {channels} {np.dtype(dtype).name} channels", reference)
        report(f"Calibration.two_theta, {channels} {np.dtype(dtype).name} channels", ours, reference)


def conversion(work):
    subprocess.run([sys.executable, here / "make-batch.py", work / "in", str(files), "4096"], check=True,
                   stdout=subprocess.DEVNULL)
    inputs = sorted((work / "in").glob("*.chn"))
    home = work / "home"
    subprocess.run([cli, "calibration", "show", "--home", home], check=True, stdout=subprocess.DEVNULL)
    jobs = os.cpu_count()
    cases = [("text", [], {}),
             ("xfit, spline calibration and resampling",
              ["-f", "xfit", "-s", "0.02", "--calibration", "spline", "--interpolation", "spline"],
              {"format": "xfit", "step": 0.02, "calibration": "spline", "interpolation": "spline"})]
    for name, options, arguments in cases:
        for j in (1, jobs):
            out_cli, out_py = work / "cli", work / "py"

            def command_line():
                shutil.rmtree(out_cli, ignore_errors=True)
                subprocess.run([cli, "convert", "-q", "--home", home, "-j", str(j), "-o", out_cli, *options,
                                *inputs], check=True)

            def module():
                shutil.rmtree(out_py, ignore_errors=True)
                scan2theta.convert(inputs, output=out_py, home=home, jobs=j, **arguments)

            reference, ours = timed_in_turns(command_line, module)
            report(f"command line, {files} files, {name}, -j {j}", reference)
            report(f"scan2theta.convert, {files} files, {name}, jobs={j}", ours, reference)
            for path in sorted(out_cli.iterdir()):
                assert (out_py / path.name).read_bytes() == path.read_bytes(), path.name


print(f"load before: {os.getloadavg()[0]:.2f}; {os.cpu_count()} cores; {runs} runs each")
mapping()
with tempfile.TemporaryDirectory(prefix="scan2theta-python-bench.") as folder:
    conversion(Path(folder))
print(f"load after: {os.getloadavg()[0]:.2f}")
