#!/usr/bin/python3
# %% [markdown]
# # A silicon scan from channels to an XFIT file
#
# Reads the silicon standard's channel file, finds its strongest reflections, calibrates the
# straight line 2-theta = C x channel + K against the standard's reflection angles, plots the
# counts against 2-theta, and writes the scan as an XFIT file on a 0.02 degree step.
# Cells are marked with `# %%` (Jupyter, VS Code); run it whole with
#
#     PYTHONPATH=build/python python3 examples/notebook.py [OUTPUT_FOLDER]
#
# (default output folder: out/notebook). Needs numpy and matplotlib.

# %%
import sys
import tempfile
from pathlib import Path

import matplotlib

matplotlib.use("Agg")  # drawn into a file; in Jupyter, leave this line out
import matplotlib.pyplot as plt
import numpy as np

import scan2theta

here = Path(__file__).resolve().parent
out = Path(sys.argv[1]) if len(sys.argv) > 1 else here.parent / "out" / "notebook"
out.mkdir(parents=True, exist_ok=True)
home = Path(tempfile.mkdtemp(prefix="scan2theta-notebook."))  # a program folder of its own

# %% The scan
scan = scan2theta.read(here / "si-standard.chn")
print(scan, scan.meta["first_channel"], "is the first channel")

# %% Its peaks: local maxima of the smoothed counts above a twentieth of the highest, each placed
# between channels by the parabola through the top three.
smooth = np.convolve(scan.counts, np.ones(3) / 3, mode="same")
tops = np.flatnonzero((smooth[1:-1] > smooth[:-2]) & (smooth[1:-1] >= smooth[2:])) + 1
tops = tops[smooth[tops] > smooth.max() / 20]
left, centre, right = smooth[tops - 1], smooth[tops], smooth[tops + 1]
peaks = tops + 0.5 * (left - right) / (left - 2 * centre + right)

# %% The standard's reflections, and each peak paired with the nearest one under the built-in
# calibration, which is close already. A peak more than 0.05 degrees from every reflection is a
# K-alpha2 line (or a stray) and is left out.
standard = (here.parent / "data" / "standards" / "Silicon.std").read_text().split("DATA")[1]
reflections = np.array([float(line) for line in standard.split()])
rough = scan2theta.Calibration.builtin().two_theta(peaks)
paired = reflections[np.abs(reflections[None, :] - rough[:, None]).argmin(axis=1)]
close = np.abs(paired - rough) < 0.05
peaks, paired = peaks[close], paired[close]
K, C = scan2theta.fit_line(peaks, paired)
calibration = scan2theta.Calibration(K=K, C=C, points=list(zip(peaks, paired)))
print(f"fitted: K = {K:.6f}, C = {C:.8f} from {len(peaks)} reflections")
for channel, angle, residual in zip(peaks, paired, paired - calibration.two_theta(peaks)):
    print(f"  channel {channel:9.3f}  2-theta {angle:8.4f}  residual {residual:+.4f}")

# %% Counts against 2-theta, with the reflections of the standard
two_theta = calibration.two_theta(scan)
figure, axes = plt.subplots(figsize=(9, 4.5), dpi=100)
axes.plot(two_theta, scan.counts, linewidth=0.7, color="#1f4e79", label=scan.path.split("/")[-1])
for angle in paired:
    axes.axvline(angle, color="#c0504d", linewidth=0.6, linestyle=":")
axes.set_xlabel("2-theta (degrees)")
axes.set_ylabel("counts")
axes.set_xlim(two_theta[0], two_theta[-1])
axes.set_title(f"Silicon standard, calibrated: 2-theta = {C:.8f} x channel + {K:.6f}")
axes.legend(loc="upper right")
figure.tight_layout()
figure.savefig(out / "si-standard.png")
print("plot:", out / "si-standard.png")

# %% The XFIT file, on a 0.02 degree step, with the calibration kept in an option file
options = out / "silicon.pre"
calibration.save(options)
written = scan2theta.convert(here / "si-standard.chn", format="xfit", step=0.02, options=options, home=home,
                             output=out, overwrite=True)
print("written:", *written)
