#!/usr/bin/python3
"""Stress harness of "scan2theta calibration auto": synthetic raw channel scans of every shipped
standard across what laboratories produce, each calibrated by the command, with the error of the
stored calibration against the true channel law and whether the command refused.

Where calibration-accuracy.py measures the goals on one family of scans (Cu K-alpha, pseudo-Voigt
doublets, 4096 channels), this one varies one thing at a time away from a base scan:
- standard: Silicon, LaB6, CeO2, Corundum (other anodes through "scan2theta standards make");
- radiation: Cu, Co, Mo and Cr K-alpha with K-alpha2, and monochromatic Cu K-alpha1;
- profile: Gaussian, Lorentzian, pseudo-Voigt, widths growing with angle (Caglioti), peaks whose
  low-angle side is broader at low angles (axial divergence; the maximum stays on the reflection);
- background: flat, sloped, curved, amorphous hump;
- counts: strongest peak from tens to hundreds of thousands of counts, Poisson noise;
- coverage: the first reflections or the last ones outside the scan;
- impurity lines, a missing reflection, a very weak one;
- 512 to 32767 channels; straight and curved channel laws, rising and falling (negative C);
- scans that must be refused: another standard's scan, a scan of noise alone.

Where the counts are fewer than the goals were set for, the goal is three times the uncertainty
the command states for its line, at least. The stored line is allowed what rounding C to the
option file's six decimals costs (at 32767 channels more than the goal).

Error: the largest 2-theta difference between the true law and the stored calibration (the line as
the option file keeps it for a straight law, the spline through the stored points for a curved
one) over the span of the reflections a scan shows (the doublet inside the scan, the K-alpha1 line
at least five noise deviations above the background and no other line of a third of its height
within its width). Goals: 0.002 degrees for a straight law and
0.004 for a curved one, at the widths in channels of the accuracy benchmark; where a channel is
wider than 0.03 degrees the goal grows with it (the error is a share of a channel).

Usage: bench/calibration-stress.py SCAN2THETA [WORK_DIR] [--seeds N] [--only TEXT] [--seed N]
(--seeds: scans per scenario, default 3; --only: scenarios whose name contains TEXT)
Exit status 0 when every goal is met, no true scan refused and every wrong one refused.
"""

import importlib.util
import json
import math
import os
import resource
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np

HERE = Path(__file__).resolve().parent
_spec = importlib.util.spec_from_file_location("accuracy", HERE / "calibration-accuracy.py")
accuracy = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(accuracy)

SEED = 20261208
ANODES = {  # K-alpha1, K-alpha2 (Angstrom), as "standards make" knows them
    "Cu": (1.5406, 1.54443), "Co": (1.788996, 1.792835), "Cr": (2.289726, 2.293651), "Mo": (0.709317, 0.713604),
}
STANDARDS = ["Silicon", "LaB6", "CeO2", "Corundum"]

BASE = {
    "standard": None,  # None: drawn from STANDARDS
    "anode": "Cu", "alpha2": True, "shape": "pv", "asymmetry": 0.0, "background": "hump",
    "strongest": (2000.0, 20000.0), "background_level": (30.0, 150.0), "coverage": "whole",
    "impurities": (0, 2), "missing": None, "channels": 4096, "law": "straight", "direction": 1,
    "expect": "calibrate", "scan_of": None, "broadening": (1.0, 1.0),
}

SCENARIOS = [
    ("base-straight", {}),
    ("base-curved", {"law": "curved"}),
    ("silicon", {"standard": "Silicon"}),
    ("lab6", {"standard": "LaB6"}),
    ("ceo2", {"standard": "CeO2"}),
    ("corundum", {"standard": "Corundum"}),
    ("corundum-curved", {"standard": "Corundum", "law": "curved"}),
    ("co-kalpha", {"anode": "Co"}),
    ("cr-kalpha", {"anode": "Cr"}),
    ("mo-kalpha", {"anode": "Mo"}),
    ("mo-kalpha-ceo2", {"anode": "Mo", "standard": "CeO2"}),
    ("mo-kalpha-curved", {"anode": "Mo", "law": "curved"}),
    ("mo-kalpha-corundum", {"anode": "Mo", "standard": "Corundum"}),
    ("broad-lines", {"broadening": (3.0, 8.0)}),
    ("broad-lines-mo-ceo2", {"broadening": (3.0, 8.0), "anode": "Mo", "standard": "CeO2"}),
    ("monochromatic", {"alpha2": False}),
    ("monochromatic-curved", {"alpha2": False, "law": "curved"}),
    ("gaussian", {"shape": "gauss"}),
    ("lorentzian", {"shape": "lorentz"}),
    ("lorentzian-curved", {"shape": "lorentz", "law": "curved"}),
    ("asymmetric", {"asymmetry": 0.03}),
    ("asymmetric-strong", {"asymmetry": 0.06}),
    ("flat-background", {"background": "flat"}),
    ("sloped-background", {"background": "sloped"}),
    ("curved-background", {"background": "curved"}),
    ("strong-hump", {"background": "strong-hump"}),
    ("counts-tens", {"strongest": (30.0, 80.0), "background_level": (2.0, 8.0)}),
    ("counts-hundreds", {"strongest": (200.0, 600.0), "background_level": (10.0, 40.0)}),
    ("counts-high", {"strongest": (100000.0, 400000.0), "background_level": (500.0, 3000.0)}),
    ("first-missing", {"coverage": "late-start"}),
    ("last-missing", {"coverage": "early-end"}),
    ("first-missing-curved", {"coverage": "late-start", "law": "curved"}),
    ("impurities", {"impurities": (3, 5)}),
    ("impurities-curved", {"impurities": (3, 5), "law": "curved"}),
    ("reflection-missing", {"missing": "absent"}),
    ("reflection-weak", {"missing": "weak"}),
    ("first-reflection-weak", {"missing": "first-weak"}),
    ("channels-512", {"channels": 512}),
    ("channels-1024", {"channels": 1024}),
    ("channels-2048", {"channels": 2048, "law": "curved"}),
    ("channels-8192", {"channels": 8192}),
    ("channels-16384", {"channels": 16384, "law": "curved"}),
    ("channels-32767", {"channels": 32767}),
    ("falling-law", {"direction": -1}),
    ("falling-law-curved", {"direction": -1, "law": "curved"}),
    ("wrong-standard", {"expect": "refuse", "scan_of": "other"}),
    ("noise-only", {"expect": "refuse", "scan_of": "noise"}),
]


def standard_file(tool, home, name, anode):
    """The standard file for the anode: the shipped one for Cu, else one "standards make" writes."""
    if anode == "Cu":
        return accuracy.STANDARDS / f"{name}.std", accuracy.read_standard(name)
    path = home / f"{name}-{anode}.std"
    if not path.exists():
        subprocess.run([tool, "standards", "make", "--material", name, "--wavelength", anode, "-o", str(path)],
                       check=True, capture_output=True)
    lines = path.read_text().splitlines()
    start = lines.index("DATA") + 1
    angles = []
    for line in lines[start:]:
        if not line.strip():
            break
        angles.append(float(line.split()[0]))
    return path, angles


def profile(x, centre, fwhm, shape, eta, asymmetry):
    """A line of height 1 with its maximum at centre; asymmetry widens the low-angle half."""
    left = fwhm * (1.0 + asymmetry)
    right = fwhm * (1.0 - asymmetry)
    width = np.where(x < centre, left, right)
    q = (x - centre) / width
    gauss = np.exp(-4.0 * math.log(2.0) * q * q)
    lorentz = 1.0 / (1.0 + 4.0 * q * q)
    if shape == "gauss":
        return gauss
    if shape == "lorentz":
        return lorentz
    return eta * lorentz + (1.0 - eta) * gauss




def make_scan(rng, name, settings, tool, home):
    s = dict(settings)
    standard = s["standard"] or STANDARDS[int(rng.integers(0, len(STANDARDS)))]
    alpha1, alpha2 = ANODES[s["anode"]]
    standard_path, reflections = standard_file(tool, home, standard, s["anode"])
    channels = s["channels"]
    # A detector spans about 100 degrees; a short one (512 channels) a channel of a tenth of a degree.
    coverage = min(rng.uniform(95.0, 115.0), channels * 0.1)
    low_angle, high_angle = reflections[0], reflections[-1]
    if s["coverage"] == "late-start":
        start = rng.uniform(reflections[1], reflections[2]) - 0.3  # the first two reflections outside
    elif s["coverage"] == "early-end":
        start = max(8.0, low_angle - rng.uniform(1.0, 6.0))
        coverage = min(coverage, (high_angle - start) * rng.uniform(0.45, 0.6))
    else:
        start = rng.uniform(8.0, 14.0) if channels * 0.1 > 60 else rng.uniform(low_angle - 4.0, low_angle + 2.0)
    C = coverage / channels
    form, bow = "straight", 0.0
    if s["law"] == "curved":
        form = ["bow", "sine", "s-shape"][int(rng.integers(0, 3))]
        bow = rng.choice([-1.0, 1.0]) * rng.uniform(0.05, 0.1)
    ascending = accuracy.law(form, start, C, bow, channels)
    if s["direction"] < 0:
        angles = ascending[::-1].copy()
    else:
        angles = ascending
    K_true, C_true = (angles[0], (angles[-1] - angles[0]) / (channels - 1))

    widths = (rng.uniform(0.008, 0.02), rng.uniform(-0.006, -0.002), rng.uniform(0.004, 0.01))
    broadening = rng.uniform(*s["broadening"])
    widths = tuple(w * broadening ** 2 for w in widths)
    eta = rng.uniform(0.3, 0.7)
    strongest = rng.uniform(*s["strongest"])
    level = rng.uniform(*s["background_level"])
    a = angles
    if s["background"] == "flat":
        expected = np.full(channels, level)
    elif s["background"] == "sloped":
        expected = level * (1.5 - (a - a.min()) / (a.max() - a.min()))
    elif s["background"] == "curved":
        u = (a - a.min()) / (a.max() - a.min())
        expected = level * (0.4 + 2.0 * (u - 0.3) ** 2) + level * 3.0 * np.exp(-(a - a.min()) / 4.0)
    else:
        hump = (0.3 if s["background"] == "hump" else 2.5) * rng.uniform(0.6, 1.4) * level
        expected = level * (0.5 + 0.5 * np.exp(-(a - a.min()) / 40.0))
        expected = expected + hump * np.exp(-0.5 * ((a - rng.uniform(18.0, 30.0)) / rng.uniform(4.0, 9.0)) ** 2)

    heights = rng.uniform(0.05, 1.0, len(reflections))
    heights = heights / heights.max() * strongest
    inside = [i for i, t in enumerate(reflections) if a.min() + 1.0 < t < a.max() - 1.0]
    if s["missing"] in ("absent", "weak") and len(inside) > 4:
        which = inside[int(rng.integers(1, len(inside) - 1))]
        heights[which] = 0.0 if s["missing"] == "absent" else 0.01 * strongest
    if s["missing"] == "first-weak" and inside:
        heights[inside[0]] = 0.02 * strongest

    def fwhm_at(centre):
        t = math.tan(math.radians(centre / 2.0))
        return math.sqrt(max(widths[0] * t * t + widths[1] * t + widths[2], 1e-6))

    def add(centre, height):
        fwhm = fwhm_at(centre)
        asym = min(0.5, s["asymmetry"] / math.tan(math.radians(centre / 2.0))) if s["asymmetry"] else 0.0
        near = np.abs(a - centre) < 60.0 * fwhm
        expected[near] += height * profile(a[near], centre, fwhm, s["shape"], eta, asym)

    scan_reflections = reflections
    if s["scan_of"] == "other":
        # The scan is of another standard (never CeO2 and Silicon: their patterns are one scaled).
        other = {"Silicon": "Corundum", "LaB6": "Silicon", "CeO2": "LaB6", "Corundum": "LaB6"}[standard]
        scan_reflections = standard_file(tool, home, other, s["anode"])[1]
        heights = rng.uniform(0.05, 1.0, len(scan_reflections))
        heights = heights / heights.max() * strongest
    if s["scan_of"] != "noise":
        for centre, height in zip(scan_reflections, heights):
            add(centre, height)
            if s["alpha2"]:
                s2 = alpha2 / alpha1 * math.sin(math.radians(centre / 2.0))
                if s2 < 1.0:
                    add(2.0 * math.degrees(math.asin(s2)), 0.5 * height)
    for _ in range(int(rng.integers(s["impurities"][0], s["impurities"][1] + 1))):
        add(rng.uniform(a.min() + 2.0, a.max() - 2.0), rng.uniform(0.05, 0.3) * strongest)
    counts = rng.poisson(expected)

    # The reflections the scan shows: the doublet inside, the K-alpha1 line well above the noise
    # and not blended with another line of a third of its height or more.
    index = np.arange(channels, dtype=float)
    order = np.argsort(a)

    def twin_of(centre):
        s2 = alpha2 / alpha1 * math.sin(math.radians(centre / 2.0))
        return 2.0 * math.degrees(math.asin(s2)) if s["alpha2"] and s2 < 1.0 else None

    lines = [(c, h) for c, h in zip(reflections, heights)]
    lines += [(twin_of(c), 0.5 * h) for c, h in zip(reflections, heights) if twin_of(c) is not None]
    shown = []
    for centre, height in zip(reflections, heights):
        if s["scan_of"] is not None:
            break
        fwhm = fwhm_at(centre)
        twin = twin_of(centre) or centre
        low, high = centre - 3.0 * fwhm, twin + 3.0 * fwhm
        if low < a.min() or high > a.max():
            continue
        background = float(np.interp(centre, a[order], expected[order]))
        if height < 5.0 * math.sqrt(max(background, 1.0)):
            continue
        if any(0.0 < abs(c - centre) < fwhm and h >= height / 3.0 for c, h in lines if c != twin):
            continue
        shown.append(float(np.interp(centre, a[order], index[order])))
    start_K = K_true + rng.uniform(-1.0, 1.0)
    start_C = C_true * (1.0 + rng.uniform(-0.03, 0.03))
    return {
        "name": name, "standard": standard, "standard_path": standard_path, "settings": s, "angles": angles,
        "counts": counts, "start": (start_K, start_C), "shown": sorted(shown), "C": C_true,
        "alpha1": alpha1, "alpha2": alpha2, "strongest": strongest,
    }


def calibrate(tool, work, home, scan):
    path = work / f"{scan['name']}.chn"
    path.write_bytes(accuracy.chn_bytes(scan["counts"]))
    out = work / f"{scan['name']}.pre"
    command = [tool, "calibration", "auto", "--json", "--standard", str(scan["standard_path"]), "--home", str(home),
               "-K", repr(scan["start"][0]), "-C", repr(scan["start"][1]), "-o", str(out),
               "--wavelength", repr(scan["alpha1"])]
    command += ["--alpha2", repr(scan["alpha2"]) if scan["settings"]["alpha2"] else "none"]
    # The command beside the scan, to run it again by hand.
    (work / f"{scan['name']}.cmd").write_text(" ".join(command + [str(path)]) + "\n")
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    result = subprocess.run(command + [str(path)], capture_output=True, text=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    row = {"scan": scan, "cpu": (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime),
           "status": result.returncode}
    if result.returncode != 0:
        row["error"] = result.stderr.strip().replace("\n", " ")
        return row
    report = json.loads(result.stdout)
    row["matched"] = len(report["pairs"])
    fitted = report["fitted"]
    shown = scan["shown"]
    if len(shown) < 2:
        row["line"] = row["spline"] = row["fitted"] = row["rounding"] = 0.0
        return row
    channels = np.arange(math.ceil(shown[0]), math.floor(shown[-1]) + 1, dtype=float)
    truth = scan["angles"][channels.astype(int)]
    line = float(report["K"]) + float(report["C"]) * channels
    spline = accuracy.spline_through(accuracy.stored_points(out))(channels)
    row["line"] = float(np.max(np.abs(line - truth)))
    full = float(fitted["K"]) + float(fitted["C"]) * channels
    row["fitted"] = float(np.max(np.abs(full - truth)))
    # What the counts allow: the stated uncertainty of the line at the span's ends (without the
    # covariance of K and C, which only lowers it).
    row["stated"] = float(np.max(np.hypot(float(fitted["sigmaK"]), float(fitted["sigmaC"]) * channels)))
    # What six decimals of C cost over the span (K is fitted again for the rounded C).
    row["rounding"] = 0.5e-6 * (channels[-1] - channels[0])
    row["spline"] = float(np.max(np.abs(spline - truth)))
    return row


def judge(row):
    """'ok', or what is wrong with the row."""
    s = row["scan"]["settings"]
    if s["expect"] == "refuse":
        return "ok" if row["status"] != 0 else "WRONG SCAN ACCEPTED"
    if row["status"] != 0:
        return "REFUSED"
    scale = max(1.0, abs(row["scan"]["C"]) / 0.03)
    goal = (0.002 if s["law"] == "straight" else 0.004) * scale
    if s["strongest"][0] < 2000.0:
        # Below the counts the goals were set for, the line can be no better than its counts.
        goal = max(goal, 3.0 * row.get("stated", 0.0))
    if s["law"] == "straight":
        return "ok" if row["fitted"] <= goal and row["line"] <= goal + row["rounding"] else "LINE OFF"
    return "ok" if row["spline"] <= goal else "SPLINE OFF"


def main(argv):
    args, options = accuracy.split_arguments(argv)
    tool = os.path.abspath(args[0])
    work = Path(args[1]) if len(args) > 1 else Path(tempfile.mkdtemp(prefix="s2t-stress-"))
    work.mkdir(parents=True, exist_ok=True)
    home = work / "home"
    home.mkdir(exist_ok=True)
    seeds = int(options.get("--seeds", 3))
    only = options.get("--only", "")
    seed = int(options.get("--seed", SEED))

    print(f"scans and option files in {work}")
    print(f"{'scan':<28} {'standard':<9} {'strongest':>9} {'C':>9} {'shown/matched':>13} {'fitted':>8} {'line':>8} "
          f"{'spline':>8} {'cpu s':>6}  verdict")
    rows = []
    for number, (scenario, changes) in enumerate(SCENARIOS):
        if only and only not in scenario:
            continue
        settings = dict(BASE, **changes)
        for k in range(seeds):
            rng = np.random.Generator(np.random.PCG64([seed, number, k]))
            scan = make_scan(rng, f"{scenario}-{k}", settings, tool, home)
            row = calibrate(tool, work, home, scan)
            row["verdict"] = judge(row)
            rows.append(row)
            head = (f"{scan['name']:<28} {scan['standard']:<9} {scan['strongest']:9.0f} {scan['C']:+9.6f} "
                    f"{len(scan['shown']):6d}/")
            if row["status"] != 0:
                print(f"{head}{'--':<6} {'':>8} {'':>8} {'':>8} {row['cpu']:6.2f}  {row['verdict']}: {row['error'][:90]}")
            else:
                print(f"{head}{row['matched']:<6d} {row['fitted']:8.5f} {row['line']:8.5f} {row['spline']:8.5f} {row['cpu']:6.2f}  "
                      f"{row['verdict']}")
            sys.stdout.flush()
    bad = [row for row in rows if row["verdict"] != "ok"]
    straight = [r["line"] for r in rows if r["status"] == 0 and r["scan"]["settings"]["law"] == "straight"
                and r["scan"]["settings"]["expect"] == "calibrate" and abs(r["scan"]["C"]) <= 0.03]
    curved = [r["spline"] for r in rows if r["status"] == 0 and r["scan"]["settings"]["law"] == "curved"
              and abs(r["scan"]["C"]) <= 0.03]
    print(f"{len(rows)} scans; {len(bad)} not as they should be")
    if straight:
        print(f"largest error, straight laws, stored line: {max(straight):.5f} degrees (goal 0.002)")
    if curved:
        print(f"largest error, curved laws, stored spline: {max(curved):.5f} degrees (goal 0.004)")
    cpu = [r["cpu"] for r in rows]
    print(f"processor time per calibration: mean {np.mean(cpu):.3f} s, largest {max(cpu):.3f} s")
    return 0 if not bad else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
