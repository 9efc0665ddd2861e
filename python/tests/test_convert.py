"""scan2theta.convert: every argument means what its option means, and the files are the command
line's to the byte."""

import os
import shutil

import pytest

import scan2theta
from conftest import CHANNEL_FILES, EXAMPLES, GUFI_FILES, run_cli

# (convert's keyword arguments, the same as command-line options)
CASES = [
    ({}, []),
    ({"format": "xfit", "step": 0.02}, ["-f", "xfit", "-s", "0.02"]),
    ({"format": "lhpm", "step": "0.05", "interpolation": "spline"}, ["-f", "lhpm", "-s", "0.05", "--interpolation", "spline"]),
    ({"format": "cpi", "step": 0.01, "target": "Co", "wavelength": 1.78897, "date": "2026-12-07"},
     ["-f", "cpi", "-s", "0.01", "--target", "Co", "--wavelength", "1.78897", "--date", "2026-12-07"]),
    ({"format": "gufi", "step": 0.04, "range": (20, 60.5)}, ["-f", "gufi", "-s", "0.04", "--range", "20:60.5"]),
    ({"calibration": "spline", "whole_angle": True, "line_end": "lf"}, ["--calibration", "spline", "--whole-angle", "--line-end", "lf"]),
    ({"step": 0.005, "range": "27.8:29.2", "fractional_counts": True, "K": 10.9, "C": "0.0269"},
     ["-s", "0.005", "--range", "27.8:29.2", "--fractional-counts", "-K", "10.9", "-C", "0.0269"]),
    ({"channels": True}, ["--channels"]),
]


def copy_inputs(folder, sources):
    folder.mkdir()
    return [shutil.copy(source, folder / source.name) for source in sources]


@pytest.mark.parametrize("arguments,options", CASES, ids=[" ".join(o) or "default" for _, o in CASES])
def test_the_files_are_the_command_lines(arguments, options, home, tmp_path):
    sources = CHANNEL_FILES + GUFI_FILES if arguments.get("channels") else CHANNEL_FILES
    run_cli("convert", "--home", home, "-q", "-o", tmp_path / "cli", *options, *sources)
    written = scan2theta.convert(sources, output=tmp_path / "py", home=home, **arguments)
    expected = sorted(os.listdir(tmp_path / "cli"))
    # In input order, every one of the command line's files.
    assert written == [str(tmp_path / "py" / (source.stem + os.path.splitext(written[0])[1])) for source in sources]
    assert sorted(os.path.basename(path) for path in written) == expected
    for name in expected:
        assert (tmp_path / "py" / name).read_bytes() == (tmp_path / "cli" / name).read_bytes(), name


def test_gufi_files_with_their_own_angles_beside_their_inputs(home, tmp_path):
    cli_inputs = copy_inputs(tmp_path / "cli", GUFI_FILES)
    py_inputs = copy_inputs(tmp_path / "py", GUFI_FILES)
    run_cli("convert", "--home", home, "-q", "--calibration", "file", "-f", "xfit", "-s", "0.02", "-j", "1", *cli_inputs)
    written = scan2theta.convert(py_inputs, calibration="file", format="xfit", step=0.02, home=home, jobs=1)
    assert written == [str(tmp_path / "py" / (p.stem + ".dat")) for p in GUFI_FILES]
    for path in written:
        name = os.path.basename(path)
        assert (tmp_path / "py" / name).read_bytes() == (tmp_path / "cli" / name).read_bytes()


def test_one_input_names_its_output_and_existing_files_get_the_next_free_name(home, tmp_path):
    source = EXAMPLES / "si-standard.chn"
    first = scan2theta.convert(source, output=tmp_path / "out.dat", home=home)
    assert first == [str(tmp_path / "out.txt")]
    second = scan2theta.convert(str(source), output=str(tmp_path / "out.dat"), home=home)
    assert second == [str(tmp_path / "out-0001.txt")]
    again = scan2theta.convert([source], output=tmp_path / "out.txt", home=home, overwrite=True,
                               K=11, fractional_counts=True)
    assert again == first
    assert (tmp_path / "out.txt").read_bytes() != (tmp_path / "out-0001.txt").read_bytes()


def test_usage_errors_name_the_argument(home):
    source = EXAMPLES / "si-standard.chn"
    refused = [
        ({"format": "xfit"}, "step: is required for the xfit format"),
        ({"step": 0}, "step: must be greater than 0"),
        ({"step": "abc"}, "step: 'abc' is not a finite number"),
        ({"step": float("nan")}, "step: 'nan' is not a finite number"),
        ({"format": "pdf"}, "format: 'pdf' is none of text, xfit"),
        ({"range": (5, 1)}, "range: MIN 5.0 is greater than MAX 1.0"),
        ({"channels": True, "step": 0.1}, "channels: cannot be combined with step"),
        ({"calibration": "file"}, "calibration: file keeps a GUFI file's own angles"),
        ({"jobs": 0}, "jobs: must be at least 1"),
        ({"line_end": "cr"}, "line_end: 'cr' is none of crlf, lf"),
        ({"target": "Copper alloy"}, "target: 'Copper alloy' is longer than 7 characters"),
        ({"options": "/no/such/file.pre"}, "options: File does not exist: /no/such/file.pre"),
    ]
    for arguments, message in refused:
        with pytest.raises(ValueError) as raised:
            scan2theta.convert(source, home=home, **arguments)
        assert str(raised.value).startswith(message), arguments
    with pytest.raises(ValueError, match="inputs: at least one input"):
        scan2theta.convert([], home=home)
    with pytest.raises(TypeError):
        scan2theta.convert(source, home=home, step=True)


def test_a_skipped_file_raises_with_the_command_lines_messages(home, tmp_path):
    broken = tmp_path / "broken.chn"
    broken.write_bytes(b"not a channel file")
    sources = [EXAMPLES / "corundum.chn", broken, EXAMPLES / "si-standard.chn"]
    status, _, errors = run_cli("convert", "--home", home, "-q", "-o", tmp_path / "cli", *sources, check=False)
    assert status == 1
    with pytest.raises(scan2theta.ConversionError) as raised:
        scan2theta.convert(sources, output=tmp_path / "py", home=home)
    assert str(raised.value) == errors.rstrip("\n")
    assert raised.value.written == [str(tmp_path / "py" / "corundum.txt"), str(tmp_path / "py" / "si-standard.txt")]


def test_a_first_start_lists_only_the_outputs(tmp_path):
    fresh = tmp_path / "fresh-home"
    # A folder that does not exist yet is named by a trailing "/", which only text can carry.
    written = scan2theta.convert(EXAMPLES / "corundum.chn", output=f"{tmp_path}/out/", home=fresh)
    assert written == [str(tmp_path / "out" / "corundum.txt")]
    assert (fresh / "Default.pre").is_file()
