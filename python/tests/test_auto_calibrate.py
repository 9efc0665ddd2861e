"""scan2theta.auto_calibrate: the calibration `scan2theta calibration auto` stores, from a path, a
Scan or the reflections as numbers, and its refusals."""

import numpy as np
import pytest

import scan2theta
from conftest import EXAMPLES, SOURCE_DIR, run_cli

SCAN = EXAMPLES / "si-standard.chn"


def test_the_option_file_of_calibration_auto(home, tmp_path):
    run_cli("calibration", "auto", "--standard", "silicon", "--home", home, "-o", tmp_path / "cli.pre", SCAN)
    found = scan2theta.auto_calibrate(SCAN, "silicon", home=home)
    found.calibration.save(tmp_path / "py.pre", standard=found.standard_name)
    assert (tmp_path / "py.pre").read_bytes() == (tmp_path / "cli.pre").read_bytes()
    # The standard recorded beside it, as the command line records it.
    assert found.standard_name == "Silicon"
    assert (tmp_path / "py.pre.standard").read_bytes() == (tmp_path / "cli.pre.standard").read_bytes()
    assert found.standard.endswith("Silicon.std")
    assert len(found.pairs) + 2 == len(found.calibration.points) >= 5
    assert len(found.end_guards) == 2
    assert found.end_guards[0][0] < found.pairs[0]["channel"] and found.end_guards[1][0] > found.pairs[-1]["channel"]
    assert abs(found.C - found.calibration.C) < 5e-7 and found.sigma_C > 0 and found.rms < 0.01
    assert [p["two_theta"] for p in found.pairs] == sorted(p["two_theta"] for p in found.pairs)
    assert len(found.peaks) >= len(found.pairs)
    assert "pairs" in repr(found)

    # The same from the scan read, from the standard file, and from its reflections as numbers.
    standard = SOURCE_DIR / "data" / "standards" / "Silicon.std"
    reflections = [float(x) for x in standard.read_text().split("DATA")[1].split()]
    for scan, given in ((scan2theta.read(SCAN), standard), (SCAN, np.array(reflections))):
        again = scan2theta.auto_calibrate(scan, given, home=home)
        assert (again.K, again.C, again.calibration.points) == (found.K, found.C, found.calibration.points)


def test_the_starting_line_and_the_radiation_are_the_options(home, tmp_path):
    start = scan2theta.Calibration(K=10.95, C=0.02691)
    run_cli("calibration", "auto", "--standard", "Silicon", "--home", home, "-K", "10.95", "-C", "0.02691",
            "--alpha2", "none", "-o", tmp_path / "cli.pre", SCAN)
    found = scan2theta.auto_calibrate(SCAN, "Silicon", home=home, calibration=start, alpha2=None)
    found.calibration.save(tmp_path / "py.pre")
    assert (tmp_path / "py.pre").read_bytes() == (tmp_path / "cli.pre").read_bytes()


def test_refusals(home, tmp_path):
    with pytest.raises(scan2theta.CalibrationError, match="^Not Possible: "):
        scan2theta.auto_calibrate(SCAN, [150.5, 160.25], home=home)
    with pytest.raises(ValueError, match="standard: quartz is neither a standard in"):
        scan2theta.auto_calibrate(SCAN, "quartz", home=home)
    with pytest.raises(scan2theta.ReadError):
        scan2theta.auto_calibrate(tmp_path / "missing.chn", "Silicon", home=home)
    with pytest.raises(ValueError, match="wavelength"):
        scan2theta.auto_calibrate(SCAN, "Silicon", home=home, wavelength=0)
    with pytest.raises(ValueError, match="starting slope"):
        scan2theta.auto_calibrate(SCAN, "Silicon", home=home, calibration=scan2theta.Calibration(C=0.0))
