"""scan2theta.read: the arrays equal the command line's channel lists, the file's own angles equal
its 2-theta output, and every file the readers refuse raises ReadError with their message."""

import pathlib
import struct

import numpy as np
import pytest

import scan2theta
from conftest import CHANNEL_FILES, EXAMPLES, GUFI_FILES, run_cli, table


@pytest.mark.parametrize("path", CHANNEL_FILES + GUFI_FILES, ids=lambda p: p.name)
def test_arrays_equal_the_channel_list_of_the_command_line(path, home, tmp_path):
    run_cli("convert", "--channels", "--home", home, "-q", "-o", tmp_path / "list.txt", path)
    rows = table(tmp_path / "list.txt")
    scan = scan2theta.read(path)
    assert scan.kind == ("gufi" if path.suffix == ".guf" else "chn")
    assert len(scan) == len(rows)
    assert scan.channels.dtype == np.int64
    assert scan.channels.tolist() == [int(channel) for channel, _ in rows]
    assert scan.counts.dtype == np.float64
    # Counts are printed as whole numbers (GUFI counts rounded half to even).
    assert [f"{count:.0f}" for count in scan.counts] == [count.strip() for _, count in rows]


@pytest.mark.parametrize("path", GUFI_FILES, ids=lambda p: p.name)
def test_a_gufi_scan_keeps_its_own_angles(path, home, tmp_path):
    run_cli("convert", "--calibration", "file", "--fractional-counts", "--home", home, "-q",
            "-o", tmp_path / "angles.txt", path)
    rows = table(tmp_path / "angles.txt")
    scan = scan2theta.read(path)
    assert [f"{angle:9.8f}" for angle in scan.two_theta] == [angle for angle, _ in rows]
    assert [f"{count:8.4f}" for count in scan.counts] == [count for _, count in rows]
    header = scan.meta
    assert header["points"] == len(scan)
    assert scan.two_theta[0] == header["first_angle"]
    assert scan.two_theta[1] == header["first_angle"] + header["angle_step"]


def test_a_channel_file_has_no_angles_of_its_own_and_shows_its_header():
    scan = scan2theta.read(EXAMPLES / "si-standard.chn")
    assert scan.two_theta is None
    raw = (EXAMPLES / "si-standard.chn").read_bytes()
    assert scan.meta["header"] == raw[:32]
    assert scan.meta["signature"] == -1
    assert scan.meta["first_channel"] == struct.unpack_from("<h", raw, 28)[0]
    assert scan.meta["channels"] == len(scan) == 4096


def test_arrays_are_read_only_views_that_keep_the_scan_alive():
    counts = scan2theta.read(str(EXAMPLES / "corundum.chn")).counts
    assert not counts.flags.writeable
    with pytest.raises(ValueError):
        counts[0] = 1.0
    # The scan is gone from Python, its memory is not.
    assert counts.base is not None
    assert counts.sum() == sum(struct.unpack_from("<4096i", (EXAMPLES / "corundum.chn").read_bytes(), 32))


def test_channel_numbers_start_at_the_files_first_channel(tmp_path):
    path = tmp_path / "offset.chn"
    header = struct.pack("<h26xhh", -1, 100, 3)
    path.write_bytes(header + struct.pack("<3i", 7, 8, 9))
    scan = scan2theta.read(pathlib.Path(path))
    assert scan.channels.tolist() == [100, 101, 102]
    assert scan.counts.tolist() == [7.0, 8.0, 9.0]
    assert "3 points" in repr(scan)


def bad_files(tmp_path):
    chn = (EXAMPLES / "si-standard.chn").read_bytes()
    guf = (EXAMPLES / "silicon-scan.guf").read_bytes()
    cases = {
        "missing.chn": None,
        "text.chn": b"2-Theta\tCount\r\n",
        "short-header.chn": chn[:20],
        "short-counts.chn": chn[:32 + 4 * 4095 + 2],
        "short.guf": guf[:15],
        "short-counts.guf": guf[:643 + 4 * 100],
    }
    for name, data in cases.items():
        if data is not None:
            (tmp_path / name).write_bytes(data)
    return [tmp_path / name for name in cases]


def test_files_the_readers_refuse_raise_their_message(tmp_path, home):
    for path in bad_files(tmp_path):
        status, _, errors = run_cli("info", path, check=False)
        assert status == 1
        with pytest.raises(scan2theta.ReadError) as raised:
            scan2theta.read(path)
        assert isinstance(raised.value, scan2theta.Error)
        assert str(raised.value) == errors.rstrip("\n"), path.name
    assert str(raised.value).startswith("Error: The input file")


def test_paths_must_be_text():
    with pytest.raises(TypeError):
        scan2theta.read(42)


def test_the_format_can_be_named_whatever_the_file_is_called(tmp_path):
    renamed = tmp_path / "scan.dat"
    renamed.write_bytes((EXAMPLES / "silicon-scan.guf").read_bytes())
    as_named = scan2theta.read(renamed, format="gufi")
    assert as_named.kind == "gufi"
    assert np.array_equal(as_named.two_theta, scan2theta.read(EXAMPLES / "silicon-scan.guf").two_theta)
    # By its name alone it is no known format: read as a channel file, which it is not.
    with pytest.raises(scan2theta.ReadError, match="wasn't a CHN file"):
        scan2theta.read(renamed)
    with pytest.raises(ValueError, match="format: 'nosuch' is none of chn"):
        scan2theta.read(renamed, format="nosuch")


TWO_RANGE_UXD = (
    "; two ranges\r\n_FILEVERSION=1\r\n_SAMPLE='quartz powder'\r\n_WL1=1.540600\r\n_DATE=2024-03-05\r\n\r\n"
    "; Data for range 1\r\n_DRIVE='COUPLED'\r\n_STEPSIZE=0.250000\r\n_START=20.000000\r\n_COUNTS\r\n"
    "    12    15    19    25\r\n    31    28    22\r\n\r\n"
    "; Data for range 2\r\n_DRIVE='COUPLED'\r\n_STEPSIZE=0.500000\r\n_START=40.000000\r\n_COUNTS\r\n"
    "   100   110   120   90   80\r\n")


def test_other_instruments_files_block_by_block(tmp_path, home):
    path = tmp_path / "quartz.uxd"
    path.write_text(TWO_RANGE_UXD, newline="")
    first, second = scan2theta.read(path), scan2theta.read(path, block=2)
    assert first.kind == second.kind == "uxd"
    assert first.two_theta.tolist() == [20.0 + 0.25 * i for i in range(7)]
    assert first.counts.tolist() == [12, 15, 19, 25, 31, 28, 22]
    assert second.two_theta.tolist() == [40.0, 40.5, 41.0, 41.5, 42.0]
    assert second.channels.tolist() == [0, 1, 2, 3, 4]
    assert first.meta["wavelength"] == 1.5406
    with pytest.raises(scan2theta.ReadError, match="no block 3"):
        scan2theta.read(path, block=3)
    with pytest.raises(ValueError, match="block: must be 1 or more"):
        scan2theta.read(path, block=0)

    run_cli("convert", "--home", home, "-q", "--calibration", "file", "-o", f"{tmp_path}/cli/", path)
    written = scan2theta.convert(path, calibration="file", output=f"{tmp_path}/py/", home=home)
    assert [pathlib.Path(p).name for p in written] == ["quartz-b1.txt", "quartz-b2.txt"]
    for name in ("quartz-b1.txt", "quartz-b2.txt"):
        assert (tmp_path / "py" / name).read_bytes() == (tmp_path / "cli" / name).read_bytes()
    assert scan2theta.convert(path, calibration="file", output=tmp_path / "two.txt", home=home, block=2) == [
        str(tmp_path / "two.txt")]
