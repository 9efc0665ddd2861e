#!/usr/bin/env python3
"""Writes the standard files shipped with scan2theta (data/standards/*.std).

Each file lists the 2-theta angles (degrees) of a reference material's reflections for Cu K-alpha1
radiation, computed from the material's certified lattice parameter and the reflections its
structure allows, between 10 and 150 degrees, ascending, 4 decimals. Reflections that share one
d-spacing (such as 333 and 511 of a cubic lattice) appear once.

Usage: scripts/make-standards.py [OUTPUT_DIR]   (default: data/standards beside this script)

The files are what the program reads: a name line, "DATA", one 2-theta per line, an empty line;
CR LF line ends like every file the program writes. Python 3 standard library only.
"""

import math
import os
import sys

# Cu K-alpha1 wavelength in Angstrom, as the laboratory's calibrations use it.
WAVELENGTH = 1.5406
TWO_THETA_MIN = 10.0
TWO_THETA_MAX = 150.0


def silicon_allows(h, k, l):
    """Diamond cubic (Fd-3m): h, k, l all odd, or all even with h + k + l divisible by 4."""
    parities = {h % 2, k % 2, l % 2}
    if parities == {1}:
        return True
    return parities == {0} and (h + k + l) % 4 == 0


def primitive_allows(h, k, l):
    """Primitive cubic (Pm-3m): every reflection."""
    return True


# name, file name, cubic lattice parameter a (Angstrom), reflection condition, where a comes from.
STANDARDS = [
    # NIST SRM 640e silicon powder line position standard: certified lattice parameter
    # a = 0.5431179 nm at 22.5 degrees C (the SRM 640 series, 640d and later, certify values
    # within a few parts per million of this one).
    ("Silicon", "Silicon.std", 5.431179, silicon_allows,
     "diamond cubic Fd-3m, a = 5.431179 Angstrom (NIST SRM 640e)"),
    # NIST SRM 660b lanthanum hexaboride powder line position standard: certified lattice
    # parameter a = 0.4156893 nm at 22.5 degrees C, rounded to 5 decimals of an Angstrom.
    ("LaB6", "LaB6.std", 4.15689, primitive_allows,
     "primitive cubic Pm-3m, a = 4.15689 Angstrom (NIST SRM 660b)"),
]


def reflections(a, allows):
    """The 2-theta angles of the distinct allowed d-spacings of a cubic lattice, ascending."""
    # 2-theta <= 150 needs d >= wavelength / (2 sin 75), so h^2 + k^2 + l^2 stays small.
    d_min = WAVELENGTH / (2.0 * math.sin(math.radians(TWO_THETA_MAX / 2.0)))
    max_sum = int((a / d_min) ** 2) + 1
    max_index = int(math.isqrt(max_sum)) + 1
    sums = set()
    for h in range(max_index + 1):
        for k in range(h + 1):
            for l in range(k + 1):
                n = h * h + k * k + l * l
                if n == 0 or n > max_sum or not allows(h, k, l):
                    continue
                sums.add(n)
    angles = []
    for n in sorted(sums):
        d = a / math.sqrt(n)
        s = WAVELENGTH / (2.0 * d)
        if s > 1.0:
            continue
        two_theta = 2.0 * math.degrees(math.asin(s))
        if TWO_THETA_MIN <= two_theta <= TWO_THETA_MAX:
            angles.append(two_theta)
    return sorted(angles)


def standard_text(name, comment, angles):
    lines = ["name= '%s'" % name, "# %s, Cu K-alpha1 %.4f Angstrom" % (comment, WAVELENGTH), "DATA"]
    lines += ["%.4f" % angle for angle in angles]
    lines.append("")
    return "".join(line + "\r\n" for line in lines)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(here, "..", "data", "standards")
    os.makedirs(out_dir, exist_ok=True)
    for name, file_name, a, allows, comment in STANDARDS:
        text = standard_text(name, comment, reflections(a, allows))
        with open(os.path.join(out_dir, file_name), "w", encoding="ascii", newline="") as out:
            out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
