"""scan2theta.resample: the grid and counts of a constant-step conversion."""

import numpy as np
import pytest

import scan2theta
from conftest import EXAMPLES, run_cli, table


@pytest.mark.parametrize("method", ["linear", "spline"])
@pytest.mark.parametrize("limits", [None, (27.8, 29.2)])
def test_the_counts_of_a_constant_step_conversion(method, limits, home, tmp_path):
    source = EXAMPLES / "si-standard.chn"
    options = ["-s", "0.013", "--interpolation", method, "--fractional-counts"]
    if limits:
        options += ["--range", f"{limits[0]}:{limits[1]}"]
    run_cli("convert", "--home", home, "-q", "-o", tmp_path / "out.txt", *options, source)
    rows = table(tmp_path / "out.txt")

    scan = scan2theta.read(source)
    two_theta = scan2theta.Calibration.load(home=home).two_theta(scan)
    grid, counts = scan2theta.resample(two_theta, scan.counts, 0.013, method=method, range=limits)
    assert [f"{x:9.8f}" for x in grid] == [x for x, _ in rows]
    assert [f"{y:8.4f}" for y in counts] == [y for _, y in rows]
    assert np.all(np.diff(grid) > 0)


def test_points_in_any_order_give_the_same_grid():
    x = np.linspace(10.0, 20.0, 501)
    y = np.sin(x) * 100.0 + 200.0
    order = np.random.default_rng(7).permutation(len(x))
    for method in ("linear", "spline"):
        ascending = scan2theta.resample(x, y, 0.1, method)
        shuffled = scan2theta.resample(x[order], y[order], 0.1, method)
        assert np.array_equal(ascending[0], shuffled[0]) and np.array_equal(ascending[1], shuffled[1])
    grid, counts = scan2theta.resample(x, y, 0.1)
    assert grid[0] == 10.0 and len(grid) == 100
    assert np.allclose(counts, np.interp(grid, x, y), rtol=0, atol=1e-9)


def test_refusals():
    x = np.array([1.0, 2.0, 3.0])
    with pytest.raises(ValueError):
        scan2theta.resample(x, x[:2], 0.1)
    with pytest.raises(ValueError):
        scan2theta.resample(x, x, 0.0)
    with pytest.raises(ValueError):
        scan2theta.resample(x, x, 0.1, method="cubic")
    with pytest.raises(ValueError):
        scan2theta.resample(x, x, 0.1, range=(3.0, 1.0))
    with pytest.raises(ValueError, match="more than 100000000 values"):
        scan2theta.resample(np.array([0.0, 1000.0]), np.array([1.0, 2.0]), 1e-6)
    grid, counts = scan2theta.resample(np.array([]), np.array([]), 0.1)
    assert len(grid) == len(counts) == 0
