#!/usr/bin/python3
"""The reference pipeline of bench/compare.sh: the conversion that scan2theta convert makes with a
spline calibration and spline resampling, written with numpy and scipy as a laboratory script would
be. It reads MCA channel files, maps channels to 2-theta through the calibration spline (clamped,
both end slopes the least-squares slope of the calibration points; the straight line through the
first and last point outside them), fits a clamped spline with end slopes 0 through each scan,
evaluates it on the constant-step grid and writes the same text, XFIT or CPI files.

Usage: bench/reference.py --format text|xfit|cpi --step DEG --options FILE.pre --date TEXT
                          -o OUTPUT_DIR INPUT.chn...
"""

import argparse
import math
import os
import sys

import numpy as np
from scipy.interpolate import CubicSpline

EOL = "\r\n"


def calibration_points(path):
    """The calibration points of an option file: the lines after "numOfDataPoints= N"."""
    with open(path, "r", encoding="latin-1") as f:
        lines = [line.rstrip("\r\n") for line in f]
    for i, line in enumerate(lines):
        if line.startswith("numOfDataPoints="):
            count = int(line.split("=", 1)[1])
            rows = [l.replace("\t", " ").split() for l in lines[i + 1:i + 1 + count]]
            return [(float(r[0]), float(r[1])) for r in rows]
    sys.exit(f"{path}: no calibration points")


def least_squares_slope(points):
    """The end slope of the calibration spline, summed in the order the points are listed."""
    n = float(len(points))
    mx = sum(p[0] for p in points) / n
    my = sum(p[1] for p in points) / n
    sx = math.sqrt(sum((p[0] - mx) ** 2 for p in points) / (n - 1.0))
    sy = math.sqrt(sum((p[1] - my) ** 2 for p in points) / (n - 1.0))
    if sy == 0.0:
        return 0.0
    r = (sum(p[0] * p[1] - mx * my for p in points) / (n - 1.0)) / (sx * sy)
    return r * sy / sx


class ChannelMapping:
    def __init__(self, points):
        slope = least_squares_slope(points)
        points = sorted(points)
        self.x = np.array([p[0] for p in points])
        self.y = np.array([p[1] for p in points])
        self.spline = CubicSpline(self.x, self.y, bc_type=((1, slope), (1, slope)))

    def __call__(self, channels):
        x0, xl, t0, tl = self.x[0], self.x[-1], self.y[0], self.y[-1]
        outside = (channels < x0) | (channels > xl)
        line = t0 + (channels - x0) * (tl - t0) / (xl - x0)
        return np.where(outside, line, self.spline(np.clip(channels, x0, xl)))


def whole(values):
    """Halves up for positive values, negative values truncated toward zero."""
    w = np.trunc(values)
    return np.where(values - w >= 0.5, w + 1.0, w)


def text_file(grid, counts):
    body = ("%.8f\t%d" + EOL) * len(grid) % tuple(v for pair in zip(grid.tolist(), counts) for v in pair)
    return "2-Theta\tCount" + EOL + body


def xfit_file(first, step, last, counts):
    values = ("%8d" * len(counts)) % tuple(counts)
    lines = [values[i:i + 80] for i in range(0, len(values), 80)]
    body = EOL.join(lines) + (EOL if counts and len(counts) % 10 == 0 else "")
    return EOL * 4 + "%8.3f%8.3f%8.3f" % (first, step, last) + EOL + body


def cpi_file(first, step, last, counts, date):
    header = ["SIETRONICS XRD SCAN", "%.8f" % first, "%.8f" % last, "%.8f" % step, "Cu", "%.5f" % 1.5406,
              date, "1", "KORVANDELT", "SCANDATA"]
    return EOL.join(header + list(map(str, counts))) + EOL


def convert(path, mapping, step, form, date, out_dir):
    raw = np.fromfile(path, dtype="<i4", offset=32)
    channels = np.arange(len(raw), dtype=np.float64)
    theta = mapping(channels)
    counts = raw.astype(np.float64)
    order = np.argsort(theta, kind="stable")
    if not np.all(order == np.arange(len(order))):
        theta, counts = theta[order], counts[order]
    spline = CubicSpline(theta, counts, bc_type=((1, 0.0), (1, 0.0)))
    start = theta[0]
    n = int(math.trunc(math.trunc(theta[-1] - start) / step))
    grid = start + np.arange(n, dtype=np.float64) * step
    values = whole(spline(grid)).astype(np.int64).tolist()
    first, last = start, start + (n - 1) * step
    if form == "text":
        data, extension = text_file(grid, values), "txt"
    elif form == "xfit":
        data, extension = xfit_file(first, step, last, values), "dat"
    else:
        data, extension = cpi_file(first, step, last, values, date), "cpi"
    name = os.path.splitext(os.path.basename(path))[0] + "." + extension
    with open(os.path.join(out_dir, name), "wb") as f:
        f.write(data.encode("ascii"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--format", choices=["text", "xfit", "cpi"], required=True)
    parser.add_argument("--step", type=float, required=True)
    parser.add_argument("--options", required=True)
    parser.add_argument("--date", default="2026-01-02")
    parser.add_argument("-o", "--output", required=True)
    parser.add_argument("inputs", nargs="+")
    args = parser.parse_args()
    os.makedirs(args.output, exist_ok=True)
    mapping = ChannelMapping(calibration_points(args.options))
    for path in args.inputs:
        convert(path, mapping, args.step, args.format, args.date, args.output)


if __name__ == "__main__":
    main()
