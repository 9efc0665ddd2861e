#!/usr/bin/env python3
"""Writes the standard files shipped with scan2theta (data/standards/*.std).

Each file lists the 2-theta angles (degrees) of a reference material's reflections for Cu K-alpha1
radiation, computed from the material's certified lattice parameters (cubic, or hexagonal axes)
and the reflections its space group allows, between 10 and 150 degrees, ascending, 4 decimals.
Reflections that share one d-spacing (such as 333 and 511 of a cubic lattice) appear once.
"scan2theta standards make" writes the same files for other wavelengths.

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


def face_centred_allows(h, k, l):
    """Face-centred cubic (Fm-3m, fluorite): h, k, l all odd or all even."""
    return len({h % 2, k % 2, l % 2}) == 1


def corundum_allows(h, k, l):
    """R-3c on hexagonal axes: -h + k + l divisible by 3 (obverse centring); where one of h, k and
    i = -h - k is 0 (the reflections hh0l and their equivalents) l must be even (the c glide)."""
    if (-h + k + l) % 3 != 0:
        return False
    if h == 0 or k == 0 or h + k == 0:
        return l % 2 == 0
    return True


# name, file name, cell (a, c; c None for cubic), reflection condition, what the cell is.
STANDARDS = [
    # NIST SRM 640e silicon powder line position standard: certified lattice parameter
    # a = 0.5431179 nm at 22.5 degrees C (the SRM 640 series, 640d and later, certify values
    # within a few parts per million of this one).
    ("Silicon", "Silicon.std", (5.431179, None), silicon_allows,
     "diamond cubic Fd-3m, a = 5.431179 Angstrom (NIST SRM 640e)"),
    # NIST SRM 660b lanthanum hexaboride powder line position standard: certified lattice
    # parameter a = 0.4156893 nm at 22.5 degrees C, rounded to 5 decimals of an Angstrom.
    ("LaB6", "LaB6.std", (4.15689, None), primitive_allows,
     "primitive cubic Pm-3m, a = 4.15689 Angstrom (NIST SRM 660b)"),
    # NIST SRM 674b X-ray powder diffraction intensity set, cerium dioxide: certified lattice
    # parameter a = 0.5411651 nm at 22.5 degrees C.
    ("CeO2", "CeO2.std", (5.411651, None), face_centred_allows,
     "fluorite cubic Fm-3m, a = 5.411651 Angstrom (NIST SRM 674b)"),
    # NIST SRM 676a alumina (corundum) internal standard: certified lattice parameters
    # a = 0.4759091 nm and c = 1.2991779 nm (hexagonal axes) at 22.5 degrees C.
    ("Corundum", "Corundum.std", (4.759091, 12.991779), corundum_allows,
     "corundum R-3c, a = 4.759091, c = 12.991779 Angstrom (NIST SRM 676a)"),
]


def reflections(cell, allows, wavelength=WAVELENGTH):
    """The 2-theta angles of the distinct allowed d-spacings, ascending, 4 decimals apart at least.

    Reflections are told apart by the exact integers their d-spacing is made of (h^2 + k^2 + l^2
    for a cubic cell; h^2 + hk + k^2 and l^2 for a hexagonal one), so that symmetry equivalents
    appear once; two different spacings whose angles print alike appear once too."""
    a, c = cell
    d_min = wavelength / (2.0 * math.sin(math.radians(TWO_THETA_MAX / 2.0)))
    spacings = {}
    if c is None:
        max_index = int(a / d_min) + 1
        for h in range(max_index + 1):
            for k in range(h + 1):
                for l in range(k + 1):
                    n = h * h + k * k + l * l
                    if n == 0 or not allows(h, k, l):
                        continue
                    spacings[n] = a / math.sqrt(n)
    else:
        max_hk = int(2.0 * a / (math.sqrt(3.0) * d_min)) + 1
        max_l = int(c / d_min) + 1
        for h in range(-max_hk, max_hk + 1):
            for k in range(-max_hk, max_hk + 1):
                for l in range(0, max_l + 1):
                    m = h * h + h * k + k * k
                    if m == 0 and l == 0 or not allows(h, k, l):
                        continue
                    inverse_square = 4.0 / 3.0 * m / (a * a) + (l * l) / (c * c)
                    spacings[(m, l * l)] = 1.0 / math.sqrt(inverse_square)
    angles = []
    for d in spacings.values():
        s = wavelength / (2.0 * d)
        if s > 1.0:
            continue
        two_theta = 2.0 * math.degrees(math.asin(s))
        if TWO_THETA_MIN <= two_theta <= TWO_THETA_MAX:
            angles.append(two_theta)
    texts = []
    for angle in sorted(angles):
        text = "%.4f" % angle
        if not texts or texts[-1] != text:
            texts.append(text)
    return texts


def standard_text(name, comment, angles, wavelength=WAVELENGTH, anode="Cu"):
    radiation = "%s K-alpha1 %r" % (anode, wavelength) if anode else "wavelength %r" % wavelength
    lines = ["name= '%s'" % name, "# %s, %s Angstrom" % (comment, radiation), "DATA"]
    lines += angles
    lines.append("")
    return "".join(line + "\r\n" for line in lines)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(here, "..", "data", "standards")
    os.makedirs(out_dir, exist_ok=True)
    for name, file_name, cell, allows, comment in STANDARDS:
        text = standard_text(name, comment, reflections(cell, allows))
        with open(os.path.join(out_dir, file_name), "w", encoding="ascii", newline="") as out:
            out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
