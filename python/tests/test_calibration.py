"""scan2theta.Calibration and fit_line: loaded as the command line loads it, mapping channels to
the 2-theta the text output prints, and written as the command line writes option files."""

import warnings

import numpy as np
import pytest

import scan2theta
from conftest import CHANNEL_FILES, EXAMPLES, GUFI_FILES, run_cli, table

SPLINE_POINTS = [(655.0, 28.783), (1353.0, 47.304), (1681.0, 56.122), (2167.0, 69.132)]


def write_options(path, K, C, points):
    """An option file written by the command line's fit, so that the tests rely on no writer of
    their own: K and C are the fit's, the points are the given ones."""
    points_file = path.with_suffix(".points")
    points_file.write_text("".join(f"{channel!r} {angle!r}\n" for channel, angle in points))
    run_cli("calibration", "fit", "--points", points_file, "-o", path, "--home", path.parent / "fit-home")
    return path


def test_load_gives_what_calibration_show_prints(home, tmp_path):
    _, report, _ = run_cli("calibration", "show", "--home", home)
    calibration = scan2theta.Calibration.load(home=home)
    assert f"  K = {calibration.K:.6f}\n" in report
    assert f"  C = {calibration.C:.8f}\n" in report
    assert f"Calibration points: {len(calibration.points)}\n" in report
    for channel, angle in calibration.points:
        assert f"{channel:12.4f}{angle:12.4f}" in report
    # Default.pre keeps the built-in points; the built-in values themselves are the unrounded ones.
    builtin = scan2theta.Calibration.builtin()
    assert builtin.points == calibration.points
    assert (builtin.K, builtin.C) == (10.939501, 0.02692846)

    options = write_options(tmp_path / "mine.pre", 0, 0, [(100.0, 12.5), (3000.0, 90.25), (1500.0, 50.0)])
    loaded = scan2theta.Calibration.load(home=home, options=options)
    assert loaded.points == [(100.0, 12.5), (3000.0, 90.25), (1500.0, 50.0)]
    _, report, _ = run_cli("calibration", "show", "--home", home, "--options", options)
    assert f"  K = {loaded.K:.6f}\n" in report and f"  C = {loaded.C:.8f}\n" in report


def test_load_failures_raise_the_programs_message(tmp_path):
    not_a_folder = tmp_path / "file"
    not_a_folder.write_text("")
    with pytest.raises(scan2theta.CalibrationError) as raised:
        scan2theta.Calibration.load(home=not_a_folder)
    assert str(raised.value).startswith("File Error: ")
    with pytest.raises(scan2theta.CalibrationError):
        scan2theta.Calibration.load(home=tmp_path / "home", options=tmp_path / "missing.pre")


def text_output_angles(path, home, tmp_path, *options):
    output = tmp_path / "out.txt"
    run_cli("convert", "--home", home, "-q", "--overwrite", "-o", output, *options, path)
    return [angle for angle, _ in table(output)]


@pytest.mark.parametrize("path", CHANNEL_FILES[:1] + GUFI_FILES[:1], ids=lambda p: p.name)
def test_two_theta_equals_the_text_output_to_the_last_digit(path, home, tmp_path):
    options = write_options(tmp_path / "spline.pre", 0, 0, SPLINE_POINTS + [(3500.0, 101.0)])
    options_arguments = ("--options", options, "-K", "11.25", "-C", "0.0271")
    calibration = scan2theta.Calibration.load(home=home, options=options)
    calibration.K, calibration.C = 11.25, 0.0271
    scan = scan2theta.read(path)
    for mode in ("linear", "spline"):
        printed = text_output_angles(path, home, tmp_path, "--calibration", mode, *options_arguments)
        mapped = calibration.two_theta(scan, mode)
        assert [f"{angle:9.8f}" for angle in mapped] == printed, mode
        # The channels themselves map the same way.
        abscissae = np.arange(len(scan), dtype=float) if scan.kind == "chn" else scan.two_theta
        assert np.array_equal(calibration.two_theta(abscissae, mode=mode), mapped)


def test_two_theta_keeps_the_shape_and_takes_any_numbers():
    calibration = scan2theta.Calibration(K=1.0, C=0.5)
    grid = np.arange(12, dtype=np.int32).reshape(3, 4)
    mapped = calibration.two_theta(grid)
    assert mapped.shape == (3, 4) and mapped.dtype == np.float64
    assert np.array_equal(mapped, 0.5 * grid + 1.0)
    assert calibration.two_theta([0, 2]).tolist() == [1.0, 2.0]
    # Integers of every width, and strided views (read through a copy), give numpy's values.
    for dtype in (np.int64, np.int32, np.uint16, np.float32, np.float64):
        wide = np.arange(20, dtype=dtype)
        assert np.array_equal(calibration.two_theta(wide), 0.5 * wide + 1.0), dtype
        assert np.array_equal(calibration.two_theta(wide[::2]), 0.5 * wide[::2] + 1.0), dtype
    with pytest.raises(TypeError):
        calibration.two_theta(["channel"])


def test_a_spline_without_two_distinct_channels_is_refused():
    with pytest.raises(scan2theta.CalibrationError) as raised:
        scan2theta.Calibration(points=[(5.0, 10.0), (5.0, 11.0)]).two_theta([1.0], mode="spline")
    assert "at least two points with different channels" in str(raised.value)
    with pytest.raises(ValueError):
        scan2theta.Calibration().two_theta([1.0], mode="cubic")


def test_values_and_points_are_kept_as_given():
    calibration = scan2theta.Calibration(K=-1.5, C=2.0, points=[(3, 4), (1, 2)])
    assert (calibration.K, calibration.C) == (-1.5, 2.0)
    assert calibration.points == [(3.0, 4.0), (1.0, 2.0)]
    calibration.points = np.array([[10.0, 20.0], [30.0, 41.0]])
    assert calibration.points == [(10.0, 20.0), (30.0, 41.0)]
    # The spline sorts a copy, never the points themselves.
    calibration.points = [(30.0, 41.0), (10.0, 20.0), (20.0, 30.0)]
    calibration.two_theta([15.0], mode="spline")
    assert calibration.points == [(30.0, 41.0), (10.0, 20.0), (20.0, 30.0)]
    assert "3 points" in repr(calibration)


def test_fit_line_and_save_give_the_files_of_calibration_fit(tmp_path):
    points = [(655.0, 28.44), (1353.0, 47.30), (1681.0, 56.12), (2167.0, 69.13), (2501.0, 76.38)]
    expected = write_options(tmp_path / "fitted.pre", 0, 0, points)
    K, C = scan2theta.fit_line([p[0] for p in points], np.array([p[1] for p in points]))
    _, report, _ = run_cli("calibration", "fit", "--points", tmp_path / "fitted.points", "-o", tmp_path / "again.pre",
                        "--home", tmp_path / "home")
    # The command prints the line as it stores it: K and C to six decimals.
    assert f"  K = {K:.6f}\n" in report and f"  C = {float(f'{C:.6f}'):.8f}\n" in report

    scan2theta.Calibration(K=K, C=C, points=points).save(tmp_path / "saved.pre")
    assert (tmp_path / "saved.pre").read_bytes() == expected.read_bytes()
    scan2theta.Calibration(K=K, C=C, points=points).save(str(tmp_path / "saved-lf.pre"), line_end="lf")
    assert (tmp_path / "saved-lf.pre").read_bytes() == expected.read_bytes().replace(b"\r\n", b"\n")
    reloaded = scan2theta.Calibration.load(home=tmp_path / "home", options=tmp_path / "saved.pre")
    # Option files keep K and C to six decimals.
    assert (reloaded.K, reloaded.C, reloaded.points) == (float(f"{K:.6f}"), float(f"{C:.6f}"), points)


def test_fit_and_save_failures(tmp_path):
    with pytest.raises(ValueError):
        scan2theta.fit_line([1.0], [2.0])
    with pytest.raises(ValueError):
        scan2theta.fit_line([3.0, 3.0], [2.0, 4.0])
    with pytest.raises(ValueError):
        scan2theta.fit_line([1.0, 2.0], [2.0])
    with pytest.raises(scan2theta.CalibrationError) as raised:
        scan2theta.Calibration().save(tmp_path / "no-such-folder" / "x.pre")
    assert str(raised.value).startswith("File Error: ") or str(raised.value).startswith("Option File Error: ")
    with pytest.raises(ValueError):
        scan2theta.Calibration().save(tmp_path / "x.pre", line_end="cr")


def test_an_option_file_read_in_part_warns_with_the_programs_message(home, tmp_path):
    options = write_options(tmp_path / "three.pre", 0, 0, [(100.0, 12.5), (3000.0, 90.25), (1500.0, 50.0)])
    text = options.read_bytes()
    options.write_bytes(text[:text.rindex(b"1500.0000")])  # the last point cut off
    _, _, errors = run_cli("calibration", "show", "--home", home, "--options", options, check=False)
    assert errors.startswith("Option File Error: ")
    with pytest.warns(RuntimeWarning) as warned:
        loaded = scan2theta.Calibration.load(home=home, options=options)
    assert str(warned[0].message) == errors.rstrip("\n")
    assert loaded.points == [(100.0, 12.5), (3000.0, 90.25)]
