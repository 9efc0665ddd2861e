#!/usr/bin/python3
"""Writes the sample scans of examples/: simulated powder diffraction patterns of silicon and of a
corundum-like alumina, as MCA channel files (*.chn) and GUFI binary scans (*.guf).

Each pattern is a sum of pseudo-Voigt peaks (Cu K-alpha1 and K-alpha2, widths growing with the angle)
on a smooth background, with Poisson counting noise. The random generator has a fixed seed, so running
the script again writes the same bytes.

Channel files map channel i to 2-theta by the program's built-in straight line
(2-theta = 0.02692846 x i + 10.939501), so that converting them with the default calibration puts every
peak at its true angle. GUFI files carry the true angles themselves.

Usage: scripts/make-examples.py [OUTPUT_DIR]   (default: examples/ beside this script's folder)
"""

import math
import struct
import sys
from pathlib import Path

import numpy as np

SEED = 20240315
CALIBRATION_C = 0.02692846
CALIBRATION_K = 10.939501
CHANNELS = 4096

LAMBDA_KA1 = 1.540562
LAMBDA_KA2 = 1.544390
KA2_RATIO = 0.5

# Silicon: diamond cubic, a = 5.43102 A. Relative intensities as a Cu K-alpha powder pattern shows them.
SILICON_A = 5.43102
SILICON_PEAKS = [
    ((1, 1, 1), 100), ((2, 2, 0), 55), ((3, 1, 1), 30), ((4, 0, 0), 6), ((3, 3, 1), 11),
    ((4, 2, 2), 12), ((5, 1, 1), 6), ((4, 4, 0), 3), ((5, 3, 1), 5), ((6, 2, 0), 3),
    ((5, 3, 3), 1),
]

# Corundum-like alumina: hexagonal cell a = 4.7588 A, c = 12.9910 A, (hkl) with rough intensities.
CORUNDUM_A = 4.7588
CORUNDUM_C = 12.9910
CORUNDUM_PEAKS = [
    ((0, 1, 2), 45), ((1, 0, 4), 100), ((1, 1, 0), 21), ((0, 0, 6), 2), ((1, 1, 3), 66),
    ((2, 0, 2), 1), ((0, 2, 4), 34), ((1, 1, 6), 89), ((2, 1, 1), 1), ((1, 2, 2), 2),
    ((0, 1, 8), 14), ((2, 1, 4), 23), ((3, 0, 0), 27), ((1, 2, 5), 1), ((2, 0, 8), 1),
    ((1, 0, 10), 29), ((1, 1, 9), 12), ((2, 2, 0), 1), ((3, 0, 6), 1), ((2, 2, 3), 2),
    ((1, 3, 1), 1), ((3, 1, 2), 2), ((0, 2, 10), 4), ((0, 0, 12), 2), ((1, 3, 4), 3),
    ((2, 2, 6), 8), ((0, 4, 2), 1), ((2, 1, 10), 7), ((2, 3, 2), 1), ((1, 3, 10), 5),
]


def cubic_d(a, hkl):
    h, k, l = hkl
    return a / math.sqrt(h * h + k * k + l * l)


def hexagonal_d(a, c, hkl):
    h, k, l = hkl
    inverse_square = 4.0 / 3.0 * (h * h + h * k + k * k) / (a * a) + (l * l) / (c * c)
    return 1.0 / math.sqrt(inverse_square)


def two_theta(d, wavelength):
    s = wavelength / (2.0 * d)
    return None if s >= 1.0 else 2.0 * math.degrees(math.asin(s))


def reflections(peaks, spacing):
    """(d spacing, relative intensity) of every reflection."""
    return [(spacing(hkl), intensity) for hkl, intensity in peaks]


def pseudo_voigt(x, centre, fwhm, eta):
    g = np.exp(-4.0 * math.log(2.0) * ((x - centre) / fwhm) ** 2)
    lorentz = 1.0 / (1.0 + 4.0 * ((x - centre) / fwhm) ** 2)
    return eta * lorentz + (1.0 - eta) * g


def peak_width(angle, u, v, w):
    """Caglioti: FWHM^2 = U tan^2(theta) + V tan(theta) + W."""
    t = math.tan(math.radians(angle / 2.0))
    return math.sqrt(max(u * t * t + v * t + w, 1e-6))


def pattern(x, phases, background, widths=(0.012, -0.004, 0.006), eta=0.45):
    """Expected counts at the angles x: every phase's peaks (K-alpha1 and K-alpha2) on the background."""
    y = background(x)
    for reflections_of_phase, height in phases:
        for d, intensity in reflections_of_phase:
            for wavelength, ratio in ((LAMBDA_KA1, 1.0), (LAMBDA_KA2, KA2_RATIO)):
                centre = two_theta(d, wavelength)
                if centre is None or centre < x[0] - 2.0 or centre > x[-1] + 2.0:
                    continue
                fwhm = peak_width(centre, *widths)
                y = y + height * intensity / 100.0 * ratio * pseudo_voigt(x, centre, fwhm, eta)
    return y


def smooth_background(level, decay, hump=0.0, hump_centre=25.0, hump_width=8.0):
    def background(x):
        return (level * (0.55 + 0.45 * np.exp(-(x - 10.0) / decay))
                + hump * np.exp(-0.5 * ((x - hump_centre) / hump_width) ** 2))
    return background


def chn_file(counts, real_seconds, live_seconds, date, time, description):
    """An MCA channel file: 32-byte header, int32 counts, then a 512-byte trailer record."""
    header = struct.pack(
        "<hhh2sii8s4shh",
        -1,                              # signature
        1,                               # MCA number
        1,                               # segment number
        b"17",                           # seconds of the start time
        int(real_seconds * 50),          # real time, 20 ms ticks
        int(live_seconds * 50),          # live time, 20 ms ticks
        date,                            # start date DDMMMYY and century flag
        time,                            # start time HHMM
        0,                               # first channel
        len(counts),                     # number of channels
    )
    assert len(header) == 32
    data = np.asarray(counts, dtype="<i4").tobytes()
    trailer = bytearray(512)
    struct.pack_into("<hh", trailer, 0, -102, 0)
    # The instrument's own calibration record: zero, slope and quadratic term of the axis, then
    # the peak-width calibration.
    struct.pack_into("<3f3f", trailer, 4, CALIBRATION_K, CALIBRATION_C, 0.0, 0.05, 0.00002, 0.0)
    detector = b"Scintillation detector, Cu tube 40 kV 30 mA"
    trailer[256] = len(detector)
    trailer[257:257 + len(detector)] = detector
    trailer[320] = len(description)
    trailer[321:321 + len(description)] = description
    return header + data + bytes(trailer)


def gufi_file(first_angle, step, counts):
    """A GUFI binary scan: 643-byte header (first angle, step, point count), float counts."""
    header = bytearray(643)
    struct.pack_into("<ffh", header, 9, first_angle, step, len(counts))
    return bytes(header) + np.asarray(counts, dtype="<f4").tobytes()


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "examples"
    out.mkdir(parents=True, exist_ok=True)
    rng = np.random.Generator(np.random.PCG64(SEED))

    silicon = reflections(SILICON_PEAKS, lambda hkl: cubic_d(SILICON_A, hkl))
    corundum = reflections(CORUNDUM_PEAKS, lambda hkl: hexagonal_d(CORUNDUM_A, CORUNDUM_C, hkl))

    channel_angles = CALIBRATION_C * np.arange(CHANNELS) + CALIBRATION_K

    files = {}
    expected = pattern(channel_angles, [(silicon, 5200.0)], smooth_background(60.0, 25.0))
    files["si-standard.chn"] = chn_file(
        rng.poisson(expected), 600.0, 597.4, b"04MAR241", b"0915", b"Si powder standard, 10 min")

    expected = pattern(channel_angles, [(corundum, 3100.0)], smooth_background(45.0, 30.0))
    files["corundum.chn"] = chn_file(
        rng.poisson(expected), 900.0, 894.1, b"04MAR241", b"1002", b"Alumina (corundum), 15 min")

    # A weak mixture on a glass holder: broad amorphous hump under the peaks.
    expected = pattern(channel_angles, [(corundum, 420.0), (silicon, 260.0)],
                       smooth_background(25.0, 20.0, hump=30.0), widths=(0.02, -0.006, 0.01))
    files["si-corundum-mix.chn"] = chn_file(
        rng.poisson(expected), 300.0, 299.0, b"05MAR241", b"1430", b"Si + alumina on glass, 5 min")

    # GUFI scans store counts per second; 2 s per step makes halves.
    angles = 10.0 + 0.02 * np.arange(4001)
    expected = pattern(angles, [(corundum, 5400.0)], smooth_background(70.0, 30.0))
    files["alumina-scan.guf"] = gufi_file(10.0, 0.02, rng.poisson(expected) / 2.0)

    angles = 20.0 + 0.04 * np.arange(2251)
    expected = pattern(angles, [(silicon, 8000.0)], smooth_background(90.0, 25.0))
    files["silicon-scan.guf"] = gufi_file(20.0, 0.04, rng.poisson(expected) / 2.0)

    for name, data in files.items():
        (out / name).write_bytes(data)
        print(f"{out / name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
