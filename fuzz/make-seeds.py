#!/usr/bin/python3
"""Writes the hand-made seed inputs of the fuzz targets into fuzz/corpus/TARGET/: small valid files
of every kind and the edge cases around them (empty, cut short, impossible counts, numbers that are
no numbers, long lines, missing line ends). Running it again writes the same bytes.

The conversion target's inputs start with the choice bytes that fuzz/ConversionFuzz.cpp decodes:
flags, format byte, step (uint16), range min and max, target length and text, wavelength, K and C
(doubles), the calibration points when flag 16 is set, then the input file.

Usage: fuzz/make-seeds.py
"""

import math
import struct
from pathlib import Path

CORPUS = Path(__file__).resolve().parent / "corpus"


def chn(counts, first=0, announced=None, trailer=b""):
    header = bytearray(32)
    header[0:2] = b"\xff\xff"
    struct.pack_into("<hh", header, 28, first, len(counts) if announced is None else announced)
    return bytes(header) + b"".join(struct.pack("<i", c) for c in counts) + trailer


def gufi(first, step, counts, announced=None):
    header = bytearray(643)
    struct.pack_into("<ffh", header, 9, first, step, len(counts) if announced is None else announced)
    return bytes(header) + b"".join(struct.pack("<f", c) for c in counts)


def float_bits(bits):
    return struct.unpack("<f", struct.pack("<I", bits))[0]


def peak(n, centre, height, base=20):
    return [int(base + height * math.exp(-((i - centre) / 3.0) ** 2)) for i in range(n)]


NAN = float_bits(0x7FC00000)
INF = float_bits(0x7F800000)

CHN = {
    "empty": b"",
    "one-byte": b"\xff",
    "signature-only": b"\xff\xff",
    "short-header": chn([])[:20],
    "not-chn": b"SIETRONICS XRD SCAN\r\n10.0\r\n" + bytes(20),
    "zero-channels": chn([]),
    "four-channels": chn([1, 2, 3, 4], first=100, trailer=b"\x00" * 16),
    "one-byte-short": chn([1, 2, 3, 4])[:-1],
    "negative-count": chn([], announced=-1),
    "huge-announce": chn([7, 8], announced=32767),
    "extreme-counts": chn([-2147483648, 2147483647, 0, -1]),
    "peak-64": chn(peak(64, 30, 5000), first=-5),
}

GUFI = {
    "empty": b"",
    "ends-in-count": gufi(10.0, 0.02, [])[:18],
    "zero-points": gufi(10.0, 0.02, []),
    "three-points": gufi(10.0, 0.02, [1.0, 2.5, 3.0]),
    "nan-angle": gufi(NAN, 0.02, [1.0]),
    "inf-step": gufi(10.0, INF, [1.0]),
    "inf-count": gufi(10.0, 0.02, [1.0, INF]),
    "negative-count": gufi(10.0, 0.02, [], announced=-3),
    "huge-announce": gufi(10.0, 0.02, [1.0] * 10, announced=32767),
    "falling-angles": gufi(80.0, -0.5, [5.0, 6.0, 7.0, 8.0]),
    "extreme-values": gufi(3.0e38, 3.0e38, [3.0e38, -3.0e38, 1e-45]),
    "peak-64": gufi(20.0, 0.04, [float(c) for c in peak(64, 30, 3000)]),
}

DEFAULT_PRE = (
    "#y=Cx+K\r\n#Header\r\nK=\t10.939501\r\nC=\t0.026928\r\n\r\n"
    "#Observed Channel for the peaks, calculated 2-theta value for peaks\r\n#Calibrasion Data\r\n"
    "numOfDataPoints= 4\r\n 655.0000\t 28.7830\r\n1353.0000\t 47.3040\r\n1681.0000\t 56.1220\r\n"
    "2167.0000\t 69.1320\r\n\r\n"
)

OPTIONS = {
    "default-crlf": DEFAULT_PRE,
    "default-lf": DEFAULT_PRE.replace("\r\n", "\n"),
    "header-only": "#Header\nK=1\nC=2\n",
    "key-with-space": "#Header\nK =1\nC\n",
    "three-announced-two-given": "#Calibrasion Data\nnumOfDataPoints= 3\n655 28.783\n\n1353 47.304\n",
    "huge-announce": "#Calibrasion Data\nnumOfDataPoints= 2000000000\n655\t28.783\n",
    "negative-announce": "#Calibrasion Data\nnumOfDataPoints=-5\n",
    "no-final-line-feed": "#Header\nK=5\n#Calibrasion Data\nnumOfDataPoints= 1\n655\t28.783",
    "not-finite": "#Header\nK=1e999\nC=nan\n#Calibrasion Data\nnumOfDataPoints= 2\ninf\t1\n2\t-inf\n",
    "long-line": "#Header\nK=" + "9" * 2000 + "\n" + "#" * 5000 + "\n",
    "nul-bytes": "#Header\nK=\x001\nC=2\x00\n",
}

STANDARDS = {
    "corundum": "NAME = 'Corundum'\nDATA\n25.578 45\n35.152 100\n\n",
    "name-without-space": "name='Corundum'\nDATA\n25.578\n",
    "empty-data": "name= 'Empty'\nDATA\n\n",
    "no-data": "name= 'Nothing'\n28.44\n",
    "no-closing-quote": "name= 'Open\ndata\n1\n2\n3\n",
    "not-numbers": "name= 'Text'\nDATA\nabc\n1e999\n-nan\n  \n",
    "long-line": "name= '" + "x" * 3000 + "'\nDATA\n" + "1" * 3000 + "\n",
    "no-final-line-feed": "name= 'Cut'\nDATA\n28.44",
}

XFIT_HEADER_23 = " " * 25 + "Th2" + " " * 10 + "Height     Width\n"
XFIT_HEADER_42 = " " * 25 + "Pos" + " " * 20 + "th2" + " " * 10 + "Area\n"
XFIT = {
    "plain": "28.44\n47.30\n56.12\n",
    "kind-23": XFIT_HEADER_23 + " " * 23 + "655.12   1000\n" + " " * 23 + "1353.4   500\n",
    "kind-42": XFIT_HEADER_42 + " " * 42 + "1681.0\n" + "short line\n",
    "unknown-header": "x" * 60 + "\n1\n2\n",
    "empty-first-line": "\n28.44\n",
    "negative-first": "-28.44\n1\n",
    "exponent-first": "2.8e1\n",
    "header-only": XFIT_HEADER_23,
    "no-final-line-feed": "28.44",
    "long-lines": XFIT_HEADER_23 + "9" * 5000 + "\n",
}


def choices(flags, fmt, step=100, lo=0.0, hi=0.0, target=b"Cu", wavelength=1.5406, k=10.939501,
            c=0.02692846, points=()):
    out = struct.pack("<BBH", flags, fmt, step)
    out += struct.pack("<dd", lo, hi)
    out += struct.pack("<B", len(target)) + target
    out += struct.pack("<ddd", wavelength, k, c)
    if flags & 16:
        out += struct.pack("<B", len(points)) + b"".join(struct.pack("<dd", *p) for p in points)
    return out


GUFI_FLAG = 4
OWN_POINTS = 16
CONSTANT, LIMITS, WHOLE, FRACTIONAL, SPLINE_METHOD = 2, 4, 1, 8, 16
TEXT, XFIT_OUT, CPI, LHPM, GUFI_OUT = (v << 5 for v in range(5))
SMALL_CHN = chn(peak(48, 20, 4000), first=10)
SMALL_GUFI = gufi(20.0, 0.1, [float(c) for c in peak(48, 20, 4000)])
CONVERSION = {
    "channels": choices(0, TEXT) + SMALL_CHN,
    "text-points": choices(1, TEXT) + SMALL_CHN,
    "text-whole-fractional": choices(1, TEXT | WHOLE | FRACTIONAL) + SMALL_CHN,
    "xfit-linear-step": choices(1, XFIT_OUT | CONSTANT, step=39) + SMALL_CHN,
    "xfit-limits": choices(1, XFIT_OUT | CONSTANT | LIMITS, step=9, lo=11.0, hi=11.9) + SMALL_CHN,
    "lhpm-spline-method": choices(1, LHPM | CONSTANT | SPLINE_METHOD, step=19) + SMALL_CHN,
    "cpi-spline-calibration": choices(2, CPI | CONSTANT | FRACTIONAL, step=9, target=b"Mo") + SMALL_CHN,
    "gufi-file-angles": choices(3 | GUFI_FLAG, GUFI_OUT | CONSTANT, step=19) + SMALL_GUFI,
    "gufi-channels": choices(0 | GUFI_FLAG, TEXT) + SMALL_GUFI,
    "replace-declined": choices(1 | 32, TEXT) + SMALL_CHN,
    "replace-accepted": choices(1 | 32 | 64, CPI | CONSTANT, step=9) + SMALL_CHN,
    "own-points": choices(2 | OWN_POINTS, TEXT | CONSTANT, step=9,
                          points=[(0.0, 10.0), (20.0, 10.5), (47.0, 12.0)]) + SMALL_CHN,
    "one-point-calibration": choices(2 | OWN_POINTS, TEXT, points=[(5.0, 10.0)]) + SMALL_CHN,
    "falling-line": choices(1, XFIT_OUT | CONSTANT, step=9, c=-0.05) + SMALL_CHN,
    "empty-scan-step": choices(1, TEXT | CONSTANT) + chn([]),
    "angles-beyond-float": choices(1, GUFI_OUT | CONSTANT, k=3e38, c=-3e38) + chn([1, 2, 3, 4, 5]),
    "angles-beyond-double": choices(1, TEXT, c=1e308) + chn([1, 2, 3]),
    "resampled-count-overflow": choices(1, TEXT | CONSTANT, c=-2.4687558309571594e304)
    + chn([(i * 7919) % 100000 for i in range(65)]),
    "header-range-overflow": choices(1, XFIT_OUT | CONSTANT | LIMITS, step=9, lo=2.3e-306, hi=-4.0e307) + chn([]),
}


# The first byte picks the format: its index among the table's xylib rows (fuzz/XylibReaderFuzz.cpp:
# cpi 0, uxd 1, rigaku_dat 2, bruker_raw 3, ..., xrdml 10, ..., riet7 14, ..., csv 19, xsyg 20, text 21),
# plus 22 for the straight line instead of the file's own angles.
def xylib(index, data):
    return bytes([index]) + data


UXD_SCAN = (b"; two ranges\r\n_FILEVERSION=1\r\n_SAMPLE='quartz'\r\n_WL1=1.540600\r\n_DATE=2024-03-05\r\n"
       b"_DRIVE='COUPLED'\r\n_STEPSIZE=0.25\r\n_START=20.0\r\n_COUNTS\r\n 12 15 19 25\r\n 31 28 22\r\n"
       b"_DRIVE='COUPLED'\r\n_STEPSIZE=0.5\r\n_START=40.0\r\n_COUNTS\r\n 100 110 120\r\n")
CPI_SCAN = (b"SIETRONICS XRD SCAN\r\n10.00\r\n10.10\r\n0.02\r\nCu\r\n1.5406\r\n2024-01-01\r\n1\r\nSAMPLE\r\n"
       b"SCANDATA\r\n" + b"".join(b"%d\r\n" % c for c in (5, 8, 13, 21, 34, 55)))
XFIT_SCAN = (b"\r\n\r\n\r\n\r\n  10.000   0.020  10.180\r\n"
        + b"".join(b"%8d" % c for c in range(1, 11)) + b"\r\n")
XRDML_SCAN = (b'<?xml version="1.0" encoding="UTF-8"?>\n'
         b'<xrdMeasurements xmlns="http://www.xrdml.com/XRDMeasurement/1.5">\n'
         b'<xrdMeasurement measurementType="Scan" status="Completed">\n'
         b'<usedWavelength intended="K-Alpha 1"><kAlpha1 unit="Angstrom">1.5405980</kAlpha1></usedWavelength>\n'
         b'<scan appendNumber="0" mode="Continuous" scanAxis="Gonio" status="Completed">\n'
         b'<dataPoints><positions axis="2Theta" unit="deg"><startPosition>10.0</startPosition>'
         b'<endPosition>10.1</endPosition></positions>\n'
         b'<intensities unit="counts">5 8 13 21 34 55</intensities></dataPoints>\n'
         b'</scan>\n</xrdMeasurement>\n</xrdMeasurements>\n')

XYLIB = {
    "cpi": xylib(0, CPI_SCAN),
    "cpi-cut": xylib(0, CPI_SCAN[:60]),
    "cpi-line": xylib(22, CPI_SCAN),
    "uxd": xylib(1, UXD_SCAN),
    "uxd-cut": xylib(1, UXD_SCAN[:150]),
    "raw-magic": xylib(3, b"RAW1.01" + bytes(120)),
    "xrdml": xylib(10, XRDML_SCAN),
    "xrdml-cut": xylib(10, XRDML_SCAN[:300]),
    "riet7": xylib(14, XFIT_SCAN),
    "csv": xylib(19, b"angle,count\n10.0,5\n10.5,7.5\n11.25,9\n"),
    "text": xylib(21, b"10 5\n11 6\n12 nan\n"),
    "text-inf": xylib(21, b"10 5\n1e999 6\n"),
    "empty": xylib(21, b""),
}


# The auto-calibration target's inputs (fuzz/AutoCalibrationFuzz.cpp): flags (1 radiation follows,
# 2 no K-alpha2, 4 a drawn scan), unticked pairs, [wavelength, alpha2, ratio], standard byte (below
# 128 a shipped one, below 192 the maker's for the wavelength, else a list), start byte and its
# values, channel count (bit 15 set: the low 15 bits; else modulo 4097), then the drawn scan's
# line, width, background and heights, or the count kind and counts, then edits (channel, run,
# kind, value).
RADIATION, NO_ALPHA2, DRAWN = 1, 2, 4
SHIPPED_SILICON, SHIPPED_CORUNDUM = 3, 1  # alphabetical: CeO2, Corundum, LaB6, Silicon
MAKER_SILICON = 128  # materials: Silicon, LaB6, CeO2, Corundum


def auto(flags, standard, channels, *, ticks=0, radiation=None, start=(0, 0), start_line=None,
         true_line=(4, 0), width=24, background=25, heights=b"", kind=0, counts=(), reflections=None, edits=()):
    out = struct.pack("<BB", flags, ticks)
    if flags & RADIATION:
        out += struct.pack("<ddd", *radiation)
    out += struct.pack("<B", standard)
    if standard >= 192:
        out += struct.pack("<B", len(reflections))
        out += b"".join(struct.pack("<d" if standard & 1 else "<H", r) for r in reflections)
    if start_line is not None:
        out += struct.pack("<Bdd", 1, *start_line)
    else:
        out += struct.pack("<Bbb", 0, *start)
    out += struct.pack("<H", channels if channels <= 4096 else 0x8000 | channels)
    if flags & DRAWN:
        out += struct.pack("<bbBB", *true_line, width, background) + heights
    else:
        out += struct.pack("<B", kind) + b"".join(struct.pack("<I", c & 0xFFFFFFFF) for c in counts)
    return out + b"".join(struct.pack("<HBBI", *edit) for edit in edits)


AUTO = {
    "silicon-drawn": auto(DRAWN, SHIPPED_SILICON, 4096, heights=bytes([120] * 40)),
    "corundum-drawn-monochromatic": auto(DRAWN | NO_ALPHA2, SHIPPED_CORUNDUM, 4096, heights=bytes([60] * 40)),
    "silicon-drawn-unticked": auto(DRAWN, SHIPPED_SILICON, 4096, ticks=0b101, heights=bytes([120] * 40)),
    "silicon-spikes-and-dead-runs": auto(DRAWN, SHIPPED_SILICON, 4096, heights=bytes([120] * 40),
                                         edits=[(700, 1, 1, 0xFFFFFFFF), (1500, 200, 0, 0), (3000, 5, 0, 2**31 - 1)]),
    "mo-maker-drawn": auto(DRAWN | RADIATION, MAKER_SILICON, 8000, radiation=(0.709317, 0.713604, 0.5),
                           heights=bytes([90] * 80)),
    "start-far-off": auto(DRAWN, SHIPPED_SILICON, 4096, start_line=(1e300, -1e-300), heights=bytes([120] * 40)),
    "list-of-three": auto(DRAWN | NO_ALPHA2, 192, 2000, reflections=[8000, 12000, 16000], heights=b"\xff\xff\xff"),
    "list-not-plausible": auto(0, 193, 64, reflections=[-1e308, 0.0, 1e308, 180.0], kind=1, counts=range(64)),
    "zeros": auto(0, SHIPPED_SILICON, 300, counts=[0] * 300),
    "all-channels-flat": auto(0, SHIPPED_SILICON, 32767, edits=[(0, 255, 1, 0xFFFFFFF0)]),
    "huge-counts": auto(0, SHIPPED_SILICON, 256, kind=1, counts=[0xFFFFFFFF - (i % 7) for i in range(256)]),
    "negative-counts": auto(0, SHIPPED_SILICON, 128, kind=0, counts=[-(2**31)] * 64 + [5] * 64),
    "float-counts": auto(0, SHIPPED_SILICON, 64, kind=2, counts=[struct.unpack("<I", struct.pack("<f", 3e38))[0]] * 64),
    "no-channels": auto(0, SHIPPED_SILICON, 0),
    "drawn-no-channels": auto(DRAWN, SHIPPED_SILICON, 0, heights=bytes([120] * 40)),
    "strange-radiation": auto(DRAWN | RADIATION, SHIPPED_SILICON, 4096, radiation=(1e-300, 1e300, 1e308),
                              heights=bytes([120] * 40)),
}

# The standard-maker target's inputs (fuzz/StandardMakerFuzz.cpp): material, line end, radiation
# (an anode below 128, else a wavelength follows), then a and c (0 keeps the material's).
MATERIALS = {"silicon": 0, "lab6": 1, "ceo2": 2, "corundum": 3}


def maker(material, lf, anode, wavelength=None, a=0.0, c=0.0):
    out = struct.pack("<BBB", material, lf, anode if wavelength is None else 128 + anode)
    if wavelength is not None:
        out += struct.pack("<d", wavelength)
    return out + struct.pack("<dd", a, c)


MAKER = {
    **{f"{name}-cu": maker(index, 0, 0) for name, index in MATERIALS.items()},
    "corundum-mo-lf": maker(3, 1, 4),
    "silicon-long-wavelength": maker(0, 0, 0, wavelength=20.0),
    "silicon-short-wavelength": maker(0, 0, 0, wavelength=0.2),
    "corundum-other-cell": maker(3, 0, 0, wavelength=1.5406, a=5.0, c=14.0),
}

def write(target, files):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, content in files.items():
        data = content.encode("latin-1") if isinstance(content, str) else content
        (folder / name).write_bytes(data)


def main():
    write("chn-reader", CHN)
    write("gufi-reader", GUFI)
    write("option-file", OPTIONS)
    write("standard-file", STANDARDS)
    write("xfit-file", XFIT)
    write("conversion", CONVERSION)
    write("xylib-reader", XYLIB)
    write("auto-calibration", AUTO)
    write("standard-maker", MAKER)


if __name__ == "__main__":
    main()
