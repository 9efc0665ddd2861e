#!/usr/bin/python3
"""Differential test of `scan2theta convert` against bench/conversion_reference.py.

Generates random conversions (channel files and GUFI files with random headers and counts, option
files with random K, C and calibration points, random steps, ranges, formats, flags and output
names), runs each through the program and through the reference in two copies of the same folder,
and compares every file either leaves behind (outputs, numbered names, the Default.pre a new program
folder gets) byte for byte, and the exit status.

Usage: bench/differential.py [--build DIR | --program PATH] [--seed N] [--cases N] [--case I] [--keep DIR] [-v]
  --seed N     the run's seed (default 1); case I of a run is made from seed N and I alone, so
               --seed N --case I repeats it
  --case I     run case I only, keep its folder and print its command lines
  --keep DIR   keep the folders of differing cases below DIR
Prints one line per differing case and a summary; exits 1 when a case differs.
"""

import argparse
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCE = os.path.join(HERE, "conversion_reference.py")


# ---------------------------------------------------------------------------------------------
# Random inputs

def f32(v):
    return struct.unpack("<f", struct.pack("<f", v))[0]


def point_count(rng):
    r = rng.random()
    if r < 0.03:
        return 0
    if r < 0.06:
        return 1
    if r < 0.16:
        return rng.randint(2, 10)
    if r < 0.55:
        return rng.randint(11, 600)
    if r < 0.95:
        return rng.randint(600, 4096)
    return rng.randint(4096, 12000)


def integer_counts(rng, n):
    kind = rng.choice(["zeros", "small", "peaks", "peaks", "large", "negative", "huge"])
    if kind == "zeros":
        return [0] * n
    if kind == "small":
        return [rng.randint(0, 20) for _ in range(n)]
    if kind == "large":
        return [rng.randint(0, 2**31 - 1) for _ in range(n)]
    if kind == "negative":
        return [rng.randint(-2**31, 2**31 - 1) if rng.random() < 0.1 else rng.randint(-50, 50)
                for _ in range(n)]
    scale = 10 ** rng.uniform(0, 8.5) if kind == "huge" else 10 ** rng.uniform(1, 4)
    peaks = [(rng.uniform(0, max(n, 1)), rng.uniform(1, 30), rng.uniform(0.1, 1) * scale)
             for _ in range(rng.randint(0, 8))]
    out = []
    for i in range(n):
        v = rng.uniform(0, scale * 0.05)
        for c, w, h in peaks:
            d = (i - c) / w
            if abs(d) < 8:
                v += h * math.exp(-d * d)
        out.append(min(int(v), 2**31 - 1))
    return out


def chn_file(rng, n=None):
    n = point_count(rng) if n is None else n
    header = bytearray(rng.getrandbits(8) for _ in range(32))
    header[0:2] = b"\xff\xff"
    first = rng.choice([0, 0, 0, rng.randint(1, 4096), rng.randint(-32768, 32767)])
    struct.pack_into("<hh", header, 28, first, n)
    data = bytes(header) + struct.pack("<%di" % n, *integer_counts(rng, n))
    r = rng.random()
    if r < 0.15:
        data += bytes(rng.getrandbits(8) for _ in range(rng.choice([1, 100, 512])))
    elif r < 0.19:
        data = data[:rng.randint(0, len(data) - 1)] if data else data
    elif r < 0.21:
        data = b"\xfe" + data[1:]
    elif r < 0.22:
        header = bytearray(data[:32])
        struct.pack_into("<h", header, 30, -rng.randint(1, 5))
        data = bytes(header) + data[32:]
    return data


def float_counts(rng, n):
    kind = rng.choice(["whole", "halves", "random", "binary", "large", "negative", "tiny"])
    out = []
    for _ in range(n):
        if kind == "whole":
            v = float(rng.randint(0, 5000))
        elif kind == "halves":
            v = rng.randint(0, 200) + 0.5 * rng.randint(0, 1)
        elif kind == "random":
            v = rng.uniform(0, 5000)
        elif kind == "binary":
            v = rng.randint(0, 4000) / 2 ** rng.choice([3, 5, 6, 7])
        elif kind == "large":
            v = rng.uniform(0, 10 ** rng.uniform(5, 12))
        elif kind == "negative":
            v = rng.uniform(-100, 100)
        else:
            v = rng.uniform(-1e-3, 1e-3)
        out.append(v)
    return out


def gufi_file(rng):
    n = point_count(rng)
    first = rng.choice([10.0, 5.0, 0.0, -2.5, rng.uniform(-10, 120), rng.randint(0, 90) * 0.25,
                        rng.uniform(0, 4000)])
    step = rng.choice([0.02, 0.01, 0.05, 0.25, 0.03125, 0.1, 1.0, rng.uniform(0.001, 1),
                       -rng.uniform(0.001, 0.5), 0.0, rng.uniform(0.5, 3)])
    head = bytearray(rng.getrandbits(8) for _ in range(643))
    struct.pack_into("<ffh", head, 9, first, step, n)
    data = bytes(head) + struct.pack("<%df" % n, *float_counts(rng, n))
    r = rng.random()
    if r < 0.1:
        data += bytes(rng.getrandbits(8) for _ in range(rng.randint(1, 50)))
    elif r < 0.14:
        data = data[:rng.randint(0, len(data) - 1)]
    elif r < 0.15:
        data = bytearray(data)
        struct.pack_into("<f", data, 643 + 4 * rng.randint(0, max(n - 1, 0)) if n else 9, math.inf)
        data = bytes(data)
    return data


# ---------------------------------------------------------------------------------------------
# Random calibrations

def number_text(rng, v, decimals=None):
    style = rng.random()
    if decimals is not None:
        return "%.*f" % (decimals, v)
    if style < 0.6:
        return repr(v)
    if style < 0.75:
        return "%8.06f" % v
    if style < 0.85:
        return "%.4e" % v
    if style < 0.9:
        return ("+" if v >= 0 else "") + "%.5f" % v + rng.choice(["", "xyz", " deg", "e", "e+"])
    return "%g" % v


def calibration_points(rng):
    n = rng.choice([0, 1, 2, 2, 3, 4, 5, 6, 8, 12, 20])
    a = rng.uniform(-20, 40)
    b = rng.choice([0.0269, rng.uniform(0.005, 0.1), rng.uniform(-0.05, -0.005)])
    c = rng.choice([0.0, rng.uniform(-3e-6, 3e-6)])
    lo, hi = rng.choice([(0, 4000), (500, 2500), (-500, 5000), (1000, 1200)])
    points = []
    for _ in range(n):
        ch = rng.choice([round(rng.uniform(lo, hi)), rng.uniform(lo, hi), round(rng.uniform(lo, hi), 4)])
        points.append([ch, a + b * ch + c * ch * ch + rng.uniform(-0.02, 0.02)])
    r = rng.random()
    if r < 0.5:
        points.sort()
    elif r < 0.6 and points:
        points.sort(reverse=True)
    if rng.random() < 0.08 and len(points) >= 2:
        points[1][0] = points[0][0]                      # a shared channel
    if rng.random() < 0.03 and points:
        points[-1][0] = rng.choice([1e6, -1e6, 1e-6])  # a far point
    return points


def option_file(rng, eol):
    lines = []
    if rng.random() < 0.3:
        lines.append("#y=Cx+K")
    has_header = rng.random() < 0.85
    if has_header:
        lines.append("#Header")
        K = rng.choice([10.939501, rng.uniform(-20, 60), rng.uniform(-1, 1), 0.0])
        C = rng.choice([0.026928, rng.uniform(0.005, 0.1), rng.uniform(-0.05, 0.0), 1.0, 0.0])
        if rng.random() < 0.9:
            lines.append("K=\t" + number_text(rng, K))
        if rng.random() < 0.9:
            lines.append("C=" + rng.choice(["\t", " ", "", "  \t"]) + number_text(rng, C))
        if rng.random() < 0.1:
            lines.append("K = 99")                        # a key with a space: ignored
        if rng.random() < 0.05:
            lines.append("C")                             # no "=": ignored
    lines.append("")
    if rng.random() < 0.8:
        points = calibration_points(rng)
        lines.append("#Calibrasion Data")
        announced = len(points)
        if rng.random() < 0.05:
            announced += rng.choice([1, 2, -len(points) - 1])
        lines.append("numOfDataPoints=" + rng.choice([" ", "", "\t"]) + "%d" % announced)
        for ch, t in points:
            sep = rng.choice(["\t", " ", "\t ", "  "])
            style = rng.random()
            if style < 0.5:
                lines.append("%8.04f\t%8.04f" % (ch, t))
            else:
                lines.append(number_text(rng, ch) + sep + number_text(rng, t))
        lines.append("")
    if rng.random() < 0.3:
        for _ in range(rng.randint(1, 6)):
            lines.insert(rng.randint(0, len(lines)), odd_option_line(rng))
    text = eol.join(lines) + (eol if rng.random() < 0.95 else "")
    return text.encode("latin-1")


def odd_option_line(rng):
    """Lines the reader must take as the format says: comments, keys it ignores, section lines with
    a trailing space, numbers it reads only in part, point blocks of every shape."""
    return rng.choice([
        "#Header ", "#Calibrasion Data ", "#header", " K=5", "K =5", "K=", "K=abc", "K==5", "C=\t-.5e1x",
        "K=5\r7", "C=+.25", "C=-0", "K=1e-3junk", "K=\t  \t7.25", "C=\v3", "numOfDataPoints= 2",
        "Anything=1", "=5", "K", "C", "numOfDataPoints", "#Calibrasion Data", "#Header",
        "#Calibrasion Data\nnumOfDataPoints= 3\n655 28.783\n\t1353\t47.304\n1681.5,56.1",
        "#Calibrasion Data\nnumOfDataPoints=2\n  700  30.1  x\n2100 \t 66.5",
        "#Calibrasion Data\nnumOfDataPoints= -1", "#Calibrasion Data\nnumOfDataPoints= 0",
        "#Calibrasion Data\nnumOfDataPoints= 2.9\n800\t33\n1900\t61.25",
        "#Calibrasion Data\nnumOfDataPoints= 2\n#not a comment here\n1500\t50",
        "123=4", "\tK=9", "K=9 ", "C=0.0301\t# slope",
    ])


# ---------------------------------------------------------------------------------------------
# Random command lines

def step_value(rng):
    r = rng.random()
    if r < 0.4:
        return rng.choice([0.01, 0.02, 0.05, 0.1, 0.25, 0.03125, 0.5, 1.0, 0.3, 0.015, 0.07])
    if r < 0.85:
        return float("%.4g" % (10 ** rng.uniform(-2.3, 0.3)))
    if r < 0.93:
        return rng.choice([100.0, 7.5, 3.0, 1e9])
    return 10 ** rng.uniform(-2.8, 0.5)


def step_text(rng, v):
    return rng.choice([repr(v), "%g" % v, "%.6g" % v])


def make_plain_case(rng):
    """A conversion as a laboratory makes it: the built-in or a plain calibration, a whole scan,
    a usual step and limits typed with a decimal or two, so that grid values, limits and header
    ends meet on round numbers as often as they do in use."""
    files = {}
    args = ["convert", "-q", "--home", "home"]
    gufi = rng.random() < 0.5
    if gufi:
        n = rng.choice([4001, 3501, 2000, 8001, 501])
        first, step = rng.choice([(10.0, 0.02), (5.0, 0.01), (20.0, 0.05), (2.0, 0.025), (15.0, 0.04)])
        head = bytearray(643)
        struct.pack_into("<ffh", head, 9, first, step, n)
        files["in/scan.guf"] = bytes(head) + struct.pack("<%df" % n, *float_counts(rng, n))
        mode = rng.choice(["file", "file", "linear", "spline"])
        if mode != "file":
            args += ["-K", "0", "-C", "1"]
    else:
        files["in/scan.chn"] = chn_file(rng, rng.choice([4096, 2048, 8192, 1024]))
        mode = rng.choice(["linear", "spline"])
    args += ["--calibration", mode]
    fmt = rng.choice(["text", "xfit", "lhpm", "cpi", "gufi"])
    args += ["-f", fmt, "-s", rng.choice(["0.01", "0.02", "0.05", "0.1", "0.005", "0.025", "0.04", "0.03",
                                           "0.25", "0.2", "0.015", "0.0125"])]
    if rng.random() < 0.5:
        args += ["--interpolation", "spline"]
    if rng.random() < 0.8:
        lo = round(rng.uniform(5, 80), rng.choice([0, 1, 2]))
        hi = round(lo + rng.uniform(0.5, 60), rng.choice([0, 1, 2]))
        args += ["--range", "%g:%g" % (lo, hi)]
    for flag, chance in (("--whole-angle", 0.15), ("--fractional-counts", 0.4)):
        if rng.random() < chance:
            args.append(flag)
    if fmt == "cpi":
        args += ["--date", "2026-01-02"]
    return files, args + [name for name in files if name.startswith("in/")]


def make_case(seed, index):
    rng = random.Random("%d/%d" % (seed, index))
    if index % 3 == 2:
        return make_plain_case(rng)
    files = {}
    eol = rng.choice(["\r\n", "\n"])
    args = ["convert", "-q", "--home", "home"]
    if rng.random() < 0.5:
        files["home/Default.pre"] = option_file(rng, eol)
    if rng.random() < 0.5:
        files["opts.pre"] = option_file(rng, eol)
        args += ["--options", "opts.pre"]
    if rng.random() < 0.1:
        args += ["-K", step_text(rng, rng.uniform(-20, 40))]
    if rng.random() < 0.1:
        args += ["-C", step_text(rng, rng.choice([rng.uniform(0.005, 0.1), -rng.uniform(0.005, 0.1), 1.0]))]
    gufi_first = rng.random() < 0.45
    count = 1 if rng.random() < 0.7 else rng.randint(2, 4)
    inputs = []
    for i in range(count):
        is_gufi = gufi_first if i == 0 else rng.random() < 0.5
        ext = rng.choice([".guf", ".GUF"] if is_gufi else [".chn", ".chn", ".CHN"])
        base = rng.choice(["scan", "s%d" % i, "a.b", "x y", "r%d" % i])
        name = "in/" + base + ext
        while name in files:
            name = "in/" + base + "%d" % rng.randint(0, 99) + ext
        files[name] = gufi_file(rng) if is_gufi else chn_file(rng)
        inputs.append(name)
    channels = rng.random() < 0.07
    fmt = rng.choice(["text", "text", "xfit", "lhpm", "cpi", "gufi"])
    if channels:
        args.append("--channels")
    else:
        modes = ["linear", "spline"] + (["file", "file"] if gufi_first else [])
        mode = rng.choice(modes)
        if mode != "linear" or rng.random() < 0.5:
            args += ["--calibration", mode]
        if fmt != "text" or rng.random() < 0.8:
            # ~the data's own span decides how many grid points a step gives
            args += ["-s", step_text(rng, step_value(rng))]
        if fmt != "text" or rng.random() < 0.3:
            args += ["-f", fmt]
        if rng.random() < 0.45:
            args += ["--interpolation", "spline"]
        elif rng.random() < 0.2:
            args += ["--interpolation", "linear"]
        if rng.random() < 0.4:
            lo = rng.choice([rng.uniform(-5, 60), rng.randint(0, 60), rng.randint(0, 240) * 0.25,
                             round(rng.uniform(5, 60), 2), round(rng.uniform(5, 60), 1)])
            hi = lo + rng.choice([rng.uniform(0, 40), rng.randint(0, 40), rng.randint(0, 40) * 0.5, 0.0])
            if rng.random() < 0.4:
                # limits as a person types them: a few decimals
                lo, hi = round(lo, 2), round(hi, rng.choice([1, 2, 3]))
            if rng.random() < 0.03:
                lo, hi = hi + 1, lo
            args += ["--range", "%s:%s" % (rng.choice([repr(lo), "%g" % lo]), rng.choice([repr(hi), "%g" % hi]))]
        if rng.random() < 0.2:
            args.append("--whole-angle")
        if rng.random() < 0.35:
            args.append("--fractional-counts")
        if fmt == "cpi" or rng.random() < 0.05:
            if rng.random() < 0.7:
                args += ["--target", rng.choice(["", "C", "Cu", "Co", "Mo K", "Cr12345", "Fe-Ka", "12345678"])]
            if rng.random() < 0.7:
                args += ["--wavelength", rng.choice(["1.5406", "0.70932", "2.28970", "1.789", "1.2345675", "3"])]
            args += ["--date", rng.choice(["2026-01-02", "17-Mar-1999", "x"])]
    if rng.random() < 0.2:
        args += ["--line-end", "lf"]
    elif rng.random() < 0.1:
        args += ["--line-end", "crlf"]
    if rng.random() < 0.15:
        args.append("--overwrite")
    if rng.random() < 0.3:
        args += ["-j", rng.choice(["1", "2", "3"])]
    r = rng.random()
    if count > 1:
        if r < 0.6:
            args += ["-o", rng.choice(["out", "out/", "o.d/"])]
    elif r < 0.25:
        args += ["-o", rng.choice(["out/", "out/res.dat", "out/res", "out/r.e.s.txt", "out/.hidden",
                                   "out/name."])]
        files["out/.keep"] = b""
    elif r < 0.35:
        files["out/.keep"] = b""
        args += ["-o", "out"]
    elif r < 0.45:
        args += ["-o", "-"]
    if rng.random() < 0.1:
        # some of the inputs through a list file
        listed = inputs[rng.randint(0, len(inputs) - 1):]
        files["list.txt"] = "".join(p + rng.choice(["\n", "\r\n", "\n\n"]) for p in listed).encode("latin-1")
        args += ["--files-from", "list.txt"]
    if rng.random() < 0.1:
        # an output that exists already: the next free name, or replaced with --overwrite
        stem = inputs[0][:inputs[0].rfind(".")]
        files[stem + rng.choice([".txt", ".dat", ".cpi", ".guf"])] = b"old"
    if "--files-from" in args:
        inputs = inputs[:len(inputs) - len(listed)]
    return files, args + inputs


# ---------------------------------------------------------------------------------------------
# Running and comparing

def populate(folder, files):
    os.makedirs(os.path.join(folder, "home"), exist_ok=True)
    os.makedirs(os.path.join(folder, "in"), exist_ok=True)
    for name, data in files.items():
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def tree(folder):
    out = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            rel = os.path.relpath(path, folder)
            if rel.startswith("home/Standards") or rel == "home/scan2theta-gui.ini" \
                    or rel.endswith(".pre.standard"):
                continue
            with open(path, "rb") as f:
                out[rel] = f.read()
    return out


def run(command, folder, timeout):
    start = time.monotonic()
    try:
        done = subprocess.run(command, cwd=folder, capture_output=True, timeout=timeout,
                              env=dict(os.environ, LC_ALL="C"))
        return done.returncode, done.stderr.decode("latin-1"), time.monotonic() - start, done.stdout
    except subprocess.TimeoutExpired:
        return "timeout", "", timeout, b""


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def describe(name, ours, theirs):
    if ours is None or theirs is None:
        return "%s: only %s" % (name, "program" if theirs is None else "reference")
    i = first_difference(ours, theirs)
    lo = max(0, ours.rfind(b"\n", 0, i) + 1)
    return "%s at byte %d: program %r, reference %r" % (
        name, i, ours[lo:i + 40], theirs[lo:i + 40])


def compare_case(program, seed, index, work, keep, verbose):
    files, argv = make_case(seed, index)
    folder = os.path.join(work, "case-%d" % index)
    prog_dir, ref_dir = os.path.join(folder, "program"), os.path.join(folder, "reference")
    populate(prog_dir, files)
    populate(ref_dir, files)
    prog = run([program] + argv, prog_dir, 120)
    ref = run([sys.executable, REFERENCE] + argv[1:], ref_dir, 600)
    problems = []
    opens = [line[6:] for line in ref[1].splitlines() if line.startswith("OPEN: ")]
    if prog[0] != ref[0]:
        problems.append("exit status: program %s, reference %s" % (prog[0], ref[0]))
    a, b = tree(prog_dir), tree(ref_dir)
    a["<standard output>"], b["<standard output>"] = prog[3], ref[3]
    for name in sorted(set(a) | set(b)):
        if a.get(name) != b.get(name):
            problems.append(describe(name, a.get(name), b.get(name)))
    if verbose or problems:
        print("case %d%s: %s" % (index, " (open: %s)" % "; ".join(opens) if opens else "",
                                 " ".join(quote(x) for x in argv)))
        for p in problems:
            print("    " + p)
        if problems:
            print("    program stderr: %s" % prog[1].strip()[:400].replace("\n", " | "))
            print("    reference stderr: %s" % ref[1].strip()[:400].replace("\n", " | "))
    if problems and keep:
        target = os.path.join(keep, "case-%d" % index)
        shutil.rmtree(target, ignore_errors=True)
        shutil.copytree(folder, target)
    shutil.rmtree(folder, ignore_errors=True)
    return problems, bool(opens), prog[2], ref[2]


def quote(x):
    return x if x and all(c.isalnum() or c in "-_./:=+" for c in x) else "'%s'" % x


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(HERE), "build"))
    parser.add_argument("--program", help="the scan2theta to test (default: BUILD/scan2theta)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--cases", type=int, default=500)
    parser.add_argument("--case", type=int)
    parser.add_argument("--keep")
    parser.add_argument("-v", "--verbose", action="store_true")
    args = parser.parse_args()
    program = os.path.abspath(args.program or os.path.join(args.build, "scan2theta"))
    work = tempfile.mkdtemp(prefix="scan2theta-differential.")
    indices = [args.case] if args.case is not None else range(args.cases)
    keep = os.path.abspath(args.keep) if args.keep else (work + "-kept" if args.case is not None else None)
    differing = 0
    open_cases = 0
    times = [0.0, 0.0]
    try:
        for index in indices:
            problems, is_open, t_prog, t_ref = compare_case(program, args.seed, index, work, keep,
                                                            args.verbose or args.case is not None)
            times[0] += t_prog
            times[1] += t_ref
            if problems and is_open:
                open_cases += 1
            elif problems:
                differing += 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d cases (seed %d), %d differ, %d more differ where the behaviour is left open; "
          "program %.1f s, reference %.1f s%s" % (
        len(indices), args.seed, differing, open_cases, times[0], times[1],
        ("; kept below " + keep) if keep and differing else ""))
    sys.exit(1 if differing else 0)


if __name__ == "__main__":
    main()
